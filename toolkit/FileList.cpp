// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/FileList.h"

#include "toolkit/FolderReader.h"
#include "toolkit/drives/VolumeProbe.h"

#include <sys/stat.h>

namespace quibex {

bool FileList::setPath(const QByteArray& nativeFolder)
{
    const auto listing = readFolderWithin(nativeFolder);
    if (!listing)
        return false;
    show(nativeFolder, *listing);
    return true;
}

void FileList::show(const QByteArray& nativeFolder, const FolderListing& listing)
{
    folder = nativeFolder;
    shownPath = displayName(nativeFolder);
    files.clear();
    for (const FolderEntry& entry : listing.files)
        files.addItem(entry.name, entry.nativeName);
}

bool FileList::reread()
{
    return setPath(folder);
}

// Asked of the folder's volume for a moment only: a volume that does not
// answer has no file to pick either.
bool FileList::folderStillThere() const
{
    return isOfTypeWithin(folder, S_IFDIR);
}

QString FileList::fileName() const
{
    if (files.listIndex() < 0 || !folderStillThere())
        return {};
    return files.item(files.listIndex());
}

QByteArray FileList::fileNameData() const
{
    if (files.listIndex() < 0 || !folderStillThere())
        return {};
    return files.itemData(files.listIndex());
}

}  // namespace quibex
