#include "toolkit/TextBox.h"

namespace quibex {

void TextBox::setText(const QString& text)
{
    value = text;
    if (observer)
        observer->textChanged(value);
}

void TextBox::setFocus()
{
    ++focusCount;
    if (observer)
        observer->focusRequested();
}

void TextBox::refresh()
{
    if (observer)
        observer->repaintRequested();
}

void TextBox::setObserver(TextObserver* newObserver)
{
    observer = newObserver;
}

}  // namespace quibex
