// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"

namespace quibex {

// A pick in the file list adds that file at the end of the selection,
// unless a file of the same name (letter case counts) is already there.
void File1_Click(fmenu& form)
{
    const QString name = form.File1.fileName();
    if (name.isEmpty())
        return;
    bool present = false;
    for (int i = 0; i < form.List1.count(); ++i) {
        if (form.List1.item(i) == name) {
            present = true;
            break;
        }
    }
    if (present) {
        form.File1.setListIndex(-1);
    } else if (form.List1.count() < ListBox::MaxItems) {
        form.List1.addItem(name, form.File1.fileNameData());
        form.List2.addItem(form.Dir1.path(), form.Dir1.nativePath());
        form.List1.refresh();
        form.Text1.setFocus();
    }
    ProposerNom(form);
}

}  // namespace quibex
