// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
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

// Every name in a folder, hidden ones included, where a leftover temporary file would show.
inline QStringList namesIn(const QByteArray& folder)
{
    return QDir(QFile::decodeName(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

}  // namespace quibex::test
