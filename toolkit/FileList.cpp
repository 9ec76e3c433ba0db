// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/FileList.h"

#include "toolkit/FolderReader.h"

#include <sys/stat.h>

namespace quibex {

bool FileList::setPath(const QByteArray& nativeFolder)
{
    const auto listing = readFolder(nativeFolder);
    if (!listing)
        return false;
    folder = nativeFolder;
    shownPath = displayName(nativeFolder);
    files.clear();
    for (const FolderEntry& entry : listing->files) {
        if (!files.addItem(entry.name, entry.nativeName))
            break;  // a list holds 32,767 items at most
    }
    return true;
}

bool FileList::reread()
{
    return setPath(folder);
}

bool FileList::folderStillThere() const
{
    struct stat info;
    return stat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode);
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
