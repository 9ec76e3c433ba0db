// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LineEditBinding.h"

#include "widgets/Pacing.h"

#include <QLineEdit>

#include <utility>

namespace quibex {

LineEditBinding::LineEditBinding(TextBox& box, QLineEdit* lineEdit,
                                 std::function<bool()> turnedAwayNow)
    : QObject(lineEdit),
      edit(lineEdit),
      turnedAway(std::move(turnedAwayNow))
{
    edit->setText(box.text());
    connect(&box, &TextBox::textChanged, this, &LineEditBinding::show);
    // The focus moves within the window only: a command never brings the
    // window over another program's, as it would over a file manager the
    // user is dropping files from. The return from a message box gives the
    // window back its activation (QtMessageBox).
    connect(&box, &TextBox::focusRequested, this, [this] { edit->setFocus(Qt::OtherFocusReason); });
    connect(&box, &TextBox::repaintRequested, this, [this] { repaintPaced(edit); });
    // Typing is not the only way a text changes: screen readers, dictation
    // and on-screen keyboards set it through the accessibility interface,
    // without any edit signal. Every change reaches the box, except the
    // program's own, which the box already holds. The box is the receiver:
    // should it go first, the connection goes with it.
    connect(edit, &QLineEdit::textChanged, &box, [this, &box](const QString& text) {
        if (showingBoxText)
            return;
        // During a join every other control turns the user away; the name
        // does too, whatever way the change came (keys are dropped then,
        // assistive tools' changes are not).
        if (turnedAway && turnedAway()) {
            show(box.text());
            return;
        }
        box.userEdited(text);
    });
}

void LineEditBinding::show(const QString& text)
{
    if (edit->text() == text)
        return;
    showingBoxText = true;
    edit->setText(text);
    // A text the program writes is a start offered to the user (the
    // proposed extension): the caret stands before it, nothing selected,
    // so that the name typed goes in front.
    edit->setCursorPosition(0);
    showingBoxText = false;
}

}  // namespace quibex
