// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

namespace quibex {

// "Retirer": removes the highlighted entry; the highlight moves to the entry
// that followed it, or to the new last entry.
void Command3_Click(fmenu& form)
{
    const int p = form.List1.listIndex();
    const int n = entryCount(form);
    if (p == -1)
        return;
    removeEntry(form, p);
    if (n == 1)
        return;
    form.List1.setListIndex(p == n - 1 ? p - 1 : p);
}

}  // namespace quibex
