// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

namespace quibex {

// "Retirer tout": empties the selection, last entry first, one removal at a
// time (a view sees each entry go, not one reset).
void Command6_Click(fmenu& form)
{
    for (int i = entryCount(form) - 1; i >= 0; --i)
        removeEntry(form, i);
}

}  // namespace quibex
