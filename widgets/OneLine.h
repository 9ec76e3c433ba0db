// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quibex {

// A name as a list row shows it: on one line. File names may hold a line
// feed or any other control character; drawn as such, a row would grow to
// two lines and the second would pass for another name. Each control
// character is shown by its picture instead (a line feed as "␊"); the
// name's bytes, kept beside its text, are untouched.
inline QString onOneLine(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7f)
            c = QChar(0x2421);
        else if (c.unicode() == 0x2028 || c.unicode() == 0x2029 || c.unicode() == 0x85)
            c = QChar(0x2424);
    }
    return text;
}

}  // namespace quibex
