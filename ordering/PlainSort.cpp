// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "ordering/SortKeys.h"

namespace quibex {

// "Tri normal": the selection in alphabetical order of the names, letter case
// ignored, equal names keeping their order. The sorted scratch list List3 is
// the only sorting engine: each entry becomes one key (lower-cased name, tabs,
// former position), and the keys come back out of List3 in order. Names are
// shown in lower case from then on.
//
// The shown name is lower case, but on this system letter case matters in
// file names: "Scan.TXT" shown as "scan.txt" must still join Scan.TXT, not a
// scan.txt that may sit in the same folder. So each key carries the entry's
// on-disk name as its item data, and the name goes back into List1 with it.
void Command8_Click(fmenu& form)
{
    const int entries = form.List1.count();
    if (entries == 0)
        return;

    form.List3.clear();
    form.List4.clear();

    for (int i = 0; i < entries; ++i)
        form.List3.addItem(sortkeys::plainKey(form.List1.item(i), i), form.List1.itemData(i));

    form.List1.clear();

    // The folders, in the new order, found again through each key's former position.
    const int sorted = form.List3.count();
    for (int j = 0; j < sorted; ++j) {
        const int p = sortkeys::plainKeyPosition(form.List3.item(j));
        form.List4.addItem(form.List2.item(p), form.List2.itemData(p));
    }

    form.List2.clear();

    for (int j = 0; j < sorted; ++j) {
        form.List1.addItem(sortkeys::plainKeyName(form.List3.item(j)), form.List3.itemData(j));
        form.List2.addItem(form.List4.item(j), form.List4.itemData(j));
    }

    form.List1.refresh();
    form.List3.clear();
    form.List4.clear();
}

}  // namespace quibex
