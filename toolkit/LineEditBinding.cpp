#include "toolkit/LineEditBinding.h"

#include "toolkit/Pacing.h"

#include <QLineEdit>

namespace quibex {

LineEditBinding::LineEditBinding(TextBox& box, QLineEdit* edit)
    : QObject(edit), box(box), edit(edit)
{
    edit->setText(box.text());
    box.setObserver(this);
    connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { this->box.userEdited(text); });
}

LineEditBinding::~LineEditBinding()
{
    box.setObserver(nullptr);
}

void LineEditBinding::textChanged(const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
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
