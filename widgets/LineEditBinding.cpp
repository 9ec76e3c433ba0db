#include "widgets/LineEditBinding.h"

#include "widgets/Pacing.h"

#include <QLineEdit>

namespace quibex {

LineEditBinding::LineEditBinding(TextBox& box, QLineEdit* edit)
    : QObject(edit), box(box), edit(edit)
{
    edit->setText(box.text());
    box.setObserver(this);
    // Typing is not the only way a text changes: screen readers, dictation
    // and on-screen keyboards set it through the accessibility interface,
    // without any edit signal. Every change reaches the box, except the
    // program's own, which the box already holds.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!showingBoxText)
            this->box.userEdited(text);
    });
}

LineEditBinding::~LineEditBinding()
{
    box.setObserver(nullptr);
}

void LineEditBinding::textChanged(const QString& text)
{
    if (edit->text() == text)
        return;
    showingBoxText = true;
    edit->setText(text);
    showingBoxText = false;
}

void LineEditBinding::focusRequested()
{
    edit->setFocus(Qt::OtherFocusReason);
}

void LineEditBinding::repaintRequested()
{
    repaintPaced(edit);
}

}  // namespace quibex
