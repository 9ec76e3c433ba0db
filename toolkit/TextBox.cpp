// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/TextBox.h"

namespace quibex {

void TextBox::setText(const QString& text)
{
    value = text;
    emit textChanged(value);
}

}  // namespace quibex
