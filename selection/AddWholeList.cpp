// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"

#include <QSet>

namespace quibex {

// "Ajouter toute la liste": every file of the file list not yet in the
// selection (by exact name) is appended, in the file list's order.
void Command4_Click(fmenu& form)
{
    const int files = form.File1.count();
    if (files == 0)
        return;
    // The names already chosen, gathered once for this command: a scan of the
    // selection per file would be quadratic on large folders.
    QSet<QString> chosen;
    chosen.reserve(form.List1.count() + files);
    for (int i = 0; i < form.List1.count(); ++i)
        chosen.insert(form.List1.item(i));

    const QString folder = form.Dir1.path();
    const QByteArray nativeFolder = form.Dir1.nativePath();
    for (int k = 0; k < files; ++k) {
        const QString name = form.File1.item(k);
        if (chosen.contains(name))
            continue;
        if (form.List1.count() >= ListBox::MaxItems)
            break;
        form.List1.addItem(name, form.File1.itemData(k));
        form.List2.addItem(folder, nativeFolder);
        chosen.insert(name);
        form.List1.refresh();
    }
    ProposerNom(form);
}

}  // namespace quibex
