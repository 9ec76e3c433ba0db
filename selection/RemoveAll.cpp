// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"

namespace quibex {

// "Retirer tout": empties the selection, last entry first.
void Command6_Click(fmenu& form)
{
    for (int i = form.List1.count() - 1; i >= 0; --i) {
        form.List1.removeItem(i);
        form.List2.removeItem(i);
    }
}

}  // namespace quibex
