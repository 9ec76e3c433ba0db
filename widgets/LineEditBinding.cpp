// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LineEditBinding.h"

#include "widgets/Pacing.h"

#include <QLineEdit>

namespace quibex {

LineEditBinding::LineEditBinding(TextBox& box, QLineEdit* lineEdit)
    : QObject(lineEdit),
      edit(lineEdit)
{
    edit->setText(box.text());
    connect(&box, &TextBox::textChanged, this, &LineEditBinding::show);
    connect(&box, &TextBox::focusRequested, this, [this] {
        // Right after a message box the window is not active yet: the focus
        // would only be noted for later, and a screen reader never told.
        if (edit->isVisible() && !edit->isActiveWindow())
            edit->activateWindow();
        edit->setFocus(Qt::OtherFocusReason);
    });
    connect(&box, &TextBox::repaintRequested, this, [this] { repaintPaced(edit); });
    // Typing is not the only way a text changes: screen readers, dictation
    // and on-screen keyboards set it through the accessibility interface,
    // without any edit signal. Every change reaches the box, except the
    // program's own, which the box already holds. The box is the receiver:
    // should it go first, the connection goes with it.
    connect(edit, &QLineEdit::textChanged, &box, [this, &box](const QString& text) {
        if (!showingBoxText)
            box.userEdited(text);
    });
}

void LineEditBinding::show(const QString& text)
{
    if (edit->text() == text)
        return;
    showingBoxText = true;
    edit->setText(text);
    showingBoxText = false;
}

}  // namespace quibex
