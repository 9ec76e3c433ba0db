// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"

namespace quibex {

// "Haut" (index 0) and "Bas" (any other index): the highlighted entry trades
// places with its neighbour, keeping its folder, and stays highlighted.
void Command1_Click(fmenu& form, int16_t index)
{
    const int p = form.List1.listIndex();
    if (p == -1)
        return;
    const int target = index == 0 ? p - 1 : p + 1;
    if (target < 0 || target >= form.List1.count())
        return;
    const QString name = form.List1.item(p);
    const QByteArray nameData = form.List1.itemData(p);
    const QString folder = form.List2.item(p);
    const QByteArray folderData = form.List2.itemData(p);
    form.List1.removeItem(p);
    form.List2.removeItem(p);
    form.List1.insertItem(target, name, nameData);
    form.List2.insertItem(target, folder, folderData);
    form.List1.setListIndex(target);
}

}  // namespace quibex
