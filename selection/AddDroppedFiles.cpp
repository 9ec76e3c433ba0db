// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"
#include "toolkit/FolderReader.h"
#include "toolkit/drives/VolumeProbe.h"

#include <sys/stat.h>

namespace quibex {

namespace {

// Followed like the file list follows links: a link to a file counts, a
// folder, a device or a pipe does not. The drop source waits for the
// answer, and a file on a volume that does not answer is left out.
bool isRegularFile(const QByteArray& path)
{
    return isOfTypeWithin(path, S_IFREG);
}

}  // namespace

// Each dropped file keeps its own folder, as the exact bytes of its path;
// otherwise the rules are those of "Ajouter toute la liste": a name already
// chosen is skipped, the list stops at its limit, and the name is proposed
// once at the end. A drop that holds no file at all changes nothing.
void List1_OLEDragDrop(fmenu& form, const QList<QByteArray>& paths)
{
    QSet<QString> chosen = entryNames(form, paths.size());

    bool anyFile = false;
    for (const QByteArray& path : paths) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash < 0 || slash == path.size() - 1 || path.contains('\0') || !isRegularFile(path))
            continue;
        anyFile = true;
        const QByteArray nativeName = path.mid(slash + 1);
        const QByteArray nativeFolder = slash == 0 ? QByteArray("/") : path.left(slash);
        const QString name = displayName(nativeName);
        if (chosen.contains(name))
            continue;
        if (entryCount(form) >= ListBox::MaxItems)
            break;
        appendEntry(form, {name, nativeName, displayName(nativeFolder), nativeFolder});
        chosen.insert(name);
        form.List1.refresh();
    }
    if (anyFile)
        ProposerNom(form);
}

}  // namespace quibex
