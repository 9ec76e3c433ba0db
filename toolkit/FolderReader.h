// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace quibex {

// One name found in a folder: the exact bytes on disk and the text shown for them.
struct FolderEntry {
    QByteArray nativeName;
    QString name;
};

struct FolderListing {
    std::vector<FolderEntry> files;    // regular files and links to regular files
    std::vector<FolderEntry> folders;  // subfolders and links to folders
};

// Reads a folder the way the browser shows it: hidden names (starting with
// ".") are left out, and so are devices, pipes, sockets and broken links.
// Both lists come in the sorted-list order. Empty when the folder cannot be read.
// The folder list needs only the subfolders: files are then not gathered.
enum class Gather { FilesAndFolders, FoldersOnly };
std::optional<FolderListing> readFolder(const QByteArray& nativeFolder,
                                        Gather gather = Gather::FilesAndFolders);
// The same for the window's thread: the folder's volume is asked on a
// thread of its own, and the window waits answering for a bounded time
// (FolderReadBound); a volume that does not answer by then counts as a
// folder that cannot be read.
std::optional<FolderListing> readFolderWithin(const QByteArray& nativeFolder,
                                              Gather gather = Gather::FilesAndFolders);

// The text shown for a path or name held as bytes. Bytes that are not valid
// UTF-8 show as replacement characters; the bytes themselves are kept apart.
QString displayName(const QByteArray& native);

// nativeFolder + "/" + nativeName: the separator is always inserted, so the
// root folder gives "//name", which the system accepts.
QByteArray joinPath(const QByteArray& nativeFolder, const QByteArray& nativeName);

// A folder's path without a trailing separator, except for the root's "/".
QByteArray withoutTrailingSlash(QByteArray path);

// Whether the folder can be listed, asked as readFolderWithin() asks.
bool isReadableFolder(const QByteArray& nativeFolder);

}  // namespace quibex
