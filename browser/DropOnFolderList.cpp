// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/FolderDrop.h"
#include "form/fmenu.h"
#include "toolkit/FolderReader.h"

namespace quibex {

namespace {

// The folder holding a path: what comes before its last name.
QByteArray folderOf(const QByteArray& path)
{
    const QByteArray whole = withoutTrailingSlash(path);
    const qsizetype slash = whole.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : whole.left(slash);
}

}  // namespace

// A folder dropped on the folder list opens there, as if it had been opened
// in the list; a file dropped there opens the folder holding it. Of several
// dropped, the first that opens counts. Nothing is looked at beforehand on
// the window's thread: the folder list's own path setting, which never
// waits long on a volume, tries each path, and what is no folder it can
// read is turned away.
void Dir1_OLEDragDrop(fmenu& form, const QList<QByteArray>& paths)
{
    for (const QByteArray& path : paths) {
        if (form.Dir1.setPath(path) || form.Dir1.setPath(folderOf(path)))
            return;
    }
}

}  // namespace quibex
