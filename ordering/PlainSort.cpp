// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "ordering/SortKeys.h"
#include "selection/SelectionEntry.h"

namespace quibex {

// "Tri normal": the selection in alphabetical order of the names, letter case
// ignored, equal names keeping their order. The sorted working list List3 is
// the only sorting engine: each entry becomes one key (lower-cased name, tabs,
// former position), and the keys come back out of it in order. Names are
// shown in lower case from then on.
//
// The shown name is lower case, but on this system letter case matters in
// file names: "Scan.TXT" shown as "scan.txt" must still join Scan.TXT, not a
// scan.txt that may sit in the same folder. So each key carries the entry's
// on-disk name as its item data, and the name goes back into List1 with it.
void Command8_Click(fmenu& form)
{
    const std::vector<SelectionEntry> entries = allEntries(form);
    if (entries.empty())
        return;

    ListBox& sortedKeys = form.List3;     // sorted: adding the keys sorts them
    ListBox& sortedFolders = form.List4;  // the folders, in the keys' order
    sortedKeys.clear();
    sortedFolders.clear();

    for (size_t i = 0; i < entries.size(); ++i)
        sortedKeys.addItem(sortkeys::plainKey(entries[i].name, int(i)), entries[i].nameBytes);

    // Each key's former position finds its folder again.
    const int sorted = sortedKeys.count();
    for (int j = 0; j < sorted; ++j) {
        const SelectionEntry& former =
            entries[size_t(sortkeys::plainKeyPosition(sortedKeys.item(j)))];
        sortedFolders.addItem(former.folder, former.folderBytes);
    }

    clearEntries(form);
    for (int j = 0; j < sorted; ++j) {
        appendEntry(form,
                    {sortkeys::plainKeyName(sortedKeys.item(j)), sortedKeys.itemData(j),
                     sortedFolders.item(j), sortedFolders.itemData(j)});
    }

    form.List1.refresh();
    // Nothing of this sort is kept in the working lists once it is done.
    sortedKeys.clear();
    sortedFolders.clear();
}

}  // namespace quibex
