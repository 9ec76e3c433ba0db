// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

namespace quibex {

// "Ajouter toute la liste": every file of the file list not yet in the
// selection (by exact name) is appended, in the file list's order.
void Command4_Click(fmenu& form)
{
    const int files = form.File1.count();
    if (files == 0)
        return;
    QSet<QString> chosen = entryNames(form, files);
    SelectionEntry entry{{}, {}, form.Dir1.path(), form.Dir1.nativePath()};
    for (int k = 0; k < files; ++k) {
        entry.name = form.File1.item(k);
        if (chosen.contains(entry.name))
            continue;
        if (entryCount(form) >= ListBox::MaxItems)
            break;
        entry.nameBytes = form.File1.itemData(k);
        appendEntry(form, entry);
        chosen.insert(entry.name);
        form.List1.refresh();
    }
    ProposerNom(form);
}

}  // namespace quibex
