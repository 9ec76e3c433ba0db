// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

namespace quibex {

// "Haut" (index 0) and "Bas" (any other index): the highlighted entry trades
// places with its neighbour, keeping its folder, and stays highlighted.
void Command1_Click(fmenu& form, int16_t index)
{
    const int p = form.List1.listIndex();
    if (p == -1)
        return;
    const int target = index == 0 ? p - 1 : p + 1;
    if (target < 0 || target >= entryCount(form))
        return;
    moveEntry(form, p, target);
    form.List1.setListIndex(target);
}

}  // namespace quibex
