// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/fmenu.h"
#include "support/Lists.h"
#include "support/Locales.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quibex::test::sorting {

// Selections written as "name|folder" texts, for table-driven tests of the
// sorts. Each entry's name data is the name's own bytes (the name as it was
// picked) and its folder data is "/disk/" + the folder, so that a test can
// see which entry's bytes went where.
inline QString nameOf(const QString& entry)
{
    return entry.section(QLatin1Char('|'), 0, 0);
}

inline QString folderOf(const QString& entry)
{
    return entry.section(QLatin1Char('|'), 1);
}

inline QByteArray folderBytes(const QString& folder)
{
    return "/disk/" + folder.toUtf8();
}

inline void fillSelection(fmenu& form, const QStringList& entries)
{
    for (const QString& entry : entries) {
        form.List1.addItem(nameOf(entry), nameOf(entry).toUtf8());
        form.List2.addItem(folderOf(entry), folderBytes(folderOf(entry)));
    }
}

using test::texts;

// The selection as "name|folder" texts, names as shown.
inline QStringList selection(const fmenu& form)
{
    QStringList all;
    for (int i = 0; i < form.List1.count(); ++i)
        all << form.List1.item(i) + QLatin1Char('|') + form.List2.item(i);
    return all;
}

// The selection as "name|folder" texts made from the item data: what the
// join will open.
inline QStringList selectionOnDisk(const fmenu& form)
{
    QStringList all;
    for (int i = 0; i < form.List1.count(); ++i) {
        QByteArray folder = form.List2.itemData(i);
        if (folder.startsWith("/disk/"))
            folder = folder.mid(6);
        all << QString::fromUtf8(form.List1.itemData(i)) + QLatin1Char('|')
                + QString::fromUtf8(folder);
    }
    return all;
}

}  // namespace quibex::test::sorting
