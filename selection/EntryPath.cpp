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

std::vector<QByteArray> selectedPaths(const fmenu& form)
{
    std::vector<QByteArray> paths;
    const int count = form.List1.count();
    paths.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        paths.push_back(entryNativePath(form, i));
    return paths;
}

}  // namespace quibex
