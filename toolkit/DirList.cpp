// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/DirList.h"

#include "toolkit/drives/DriveList.h"
#include "toolkit/FolderReader.h"

#include <QList>

#include <climits>

namespace quibex {

namespace {

QByteArray childOf(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

}  // namespace

DirList::DirList(DriveList& driveList) : drives(driveList)
{
}

bool DirList::fill(const QByteArray& nativeFolder)
{
    const auto listing = readFolderWithin(nativeFolder, Gather::FoldersOnly);
    if (!listing)
        return false;
    QByteArray root = drives.rootOf(drives.driveOf(nativeFolder));
    if (root.isEmpty())
        root = "/";
    QList<QByteArray> below = nativeFolder.mid(root.size()).split('/');
    below.removeAll(QByteArray());
    // Known before the first item goes in: a view reads the depths as the rows arrive.
    currentRow = int(below.size());
    shown.clear();
    // The chain from the drive's root down to the folder itself.
    shown.addItem(displayName(root), root);
    QByteArray walked = root;
    for (const QByteArray& part : below) {
        walked = childOf(walked, part);
        shown.addItem(displayName(part), walked);
    }
    const int current = shown.count() - 1;
    for (const FolderEntry& sub : listing->folders) {
        // A folder whose path is too long for the system cannot be opened by
        // that path: listed, it would be a row that never opens.
        const QByteArray path = childOf(nativeFolder, sub.nativeName);
        if (path.size() >= PATH_MAX)
            continue;
        shown.addItem(sub.name, path);
    }
    shown.setListIndex(current);
    return true;
}

bool DirList::setPath(const QByteArray& nativeFolder)
{
    const QByteArray target = withoutTrailingSlash(nativeFolder);
    if (target.isEmpty())
        return false;
    // Entering another drive, as opening the folder it is mounted on does,
    // first asks that drive for a moment only: one that does not answer is
    // refused, not waited on.
    const QString drive = drives.driveOf(target);
    if (!drive.isEmpty() && drive != drives.driveOf(folder) && !drives.isReady(drive))
        return false;
    if (!fill(target))
        return false;
    const bool moved = target != folder;
    folder = target;
    shownPath = displayName(target);
    drives.rememberFolder(target);
    if (moved)
        emit changed();
    return true;
}

bool DirList::setDrive(const QString& designation)
{
    if (!drives.isReady(designation))
        return false;
    QByteArray target = drives.currentFolder(designation);
    // A remembered folder that has since gone: the drive's root is still there.
    if (target.isEmpty() || !isReadableFolder(target))
        target = drives.rootOf(designation);
    return setPath(target);
}

bool DirList::open(int position)
{
    if (position < 0 || position >= shown.count())
        return false;
    return setPath(shown.itemData(position));
}

}  // namespace quibex
