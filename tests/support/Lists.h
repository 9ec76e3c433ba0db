// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace quibex::test {

// The texts a list holds, top to bottom: a list box, or the file list.
template <typename List>
QStringList texts(const List& list)
{
    QStringList all;
    for (int i = 0; i < list.count(); ++i)
        all << list.item(i);
    return all;
}

}  // namespace quibex::test
