// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "toolkit/FolderReader.h"

#include <QFile>

namespace quibex {

namespace {

QByteArray nativeItem(const ListBox& list, int i)
{
    const QByteArray data = list.itemData(i);
    return data.isEmpty() ? QFile::encodeName(list.item(i)) : data;
}

}  // namespace

QByteArray entryNativePath(const fmenu& form, int i)
{
    return joinPath(nativeItem(form.List2, i), nativeItem(form.List1, i));
}

}  // namespace quibex
