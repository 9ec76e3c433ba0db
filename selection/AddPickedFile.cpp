// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

namespace quibex {

// A pick in the file list adds that file at the end of the selection,
// unless a file of the same name (letter case counts) is already there.
void File1_Click(fmenu& form)
{
    const QString name = form.File1.fileName();
    if (name.isEmpty())
        return;
    if (entryNames(form, 0).contains(name)) {
        form.File1.setListIndex(-1);
    } else if (entryCount(form) < ListBox::MaxItems) {
        appendEntry(form,
                    {name, form.File1.fileNameData(), form.Dir1.path(), form.Dir1.nativePath()});
        form.List1.refresh();
        form.Text1.setFocus();
    }
    ProposerNom(form);
}

}  // namespace quibex
