// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/SelectionCheck.h"

#include "join/fs/FileId.h"
#include "join/fs/TargetCheck.h"

#include <QFile>
#include <QString>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace quibex {

namespace {

QByteArray lastPart(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

bool statOf(const QByteArray& path, struct stat& info)
{
    return !path.contains('\0') && stat(path.constData(), &info) == 0;
}

// The folder lists no entry spelled exactly name, yet name opens a file
// there: the file system found it under another spelling, so it ignores
// case. (FAT through FUSE may even give that spelling its own inode.)
bool foundUnderAnotherSpelling(const QByteArray& folder, const QByteArray& name)
{
    DIR* dir = opendir(folder.constData());
    if (!dir)
        return false;
    bool listed = false;
    while (const dirent* entry = readdir(dir)) {
        if (name == entry->d_name) {
            listed = true;
            break;
        }
    }
    closedir(dir);
    return !listed;
}

bool equalButForCase(const QByteArray& a, const QByteArray& b)
{
    return a != b && QFile::decodeName(a).compare(QFile::decodeName(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

bool isSelectedPath(const std::vector<QByteArray>& paths, const QByteArray& fullPath)
{
    return std::find(paths.begin(), paths.end(), fullPath) != paths.end();
}

bool namesASelectedFile(const std::vector<QByteArray>& paths, const QByteArray& fullPath)
{
    struct stat output;
    if (!statOf(fullPath, output))
        return false;
    const QByteArray outputFolder = folderOf(fullPath);
    const QByteArray outputName = lastPart(fullPath);
    struct stat outputFolderInfo;
    const bool folderKnown = statOf(outputFolder, outputFolderInfo);
    for (const QByteArray& path : paths) {
        struct stat entry;
        if (!statOf(path, entry))
            continue;
        if (sameFile(entry, output))
            return true;
        struct stat entryFolder;
        if (folderKnown && equalButForCase(lastPart(path), outputName)
            && statOf(folderOf(path), entryFolder) && sameFile(entryFolder, outputFolderInfo)
            && foundUnderAnotherSpelling(outputFolder, outputName))
            return true;
    }
    return false;
}

}  // namespace quibex
