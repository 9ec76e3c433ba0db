// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

namespace quibex {

QByteArray entryNativePath(const fmenu& form, int i)
{
    return entryAt(form, i).nativePath();
}

std::vector<QByteArray> selectedPaths(const fmenu& form)
{
    std::vector<QByteArray> paths;
    const int count = entryCount(form);
    paths.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        paths.push_back(entryNativePath(form, i));
    return paths;
}

}  // namespace quibex
