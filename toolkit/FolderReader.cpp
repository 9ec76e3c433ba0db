// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/FolderReader.h"

#include "toolkit/SortOrder.h"

#include <QFile>

#include <algorithm>
#include <memory>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

enum class Kind { File, Folder, Other };

Kind kindOf(int folderFd, const dirent* entry)
{
    // d_type answers without a system call for most entries; links and file
    // systems that do not fill it in need a stat that follows the link.
    if (entry->d_type == DT_REG)
        return Kind::File;
    if (entry->d_type == DT_DIR)
        return Kind::Folder;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return Kind::Other;
    struct stat info;
    if (fstatat(folderFd, entry->d_name, &info, 0) != 0)
        return Kind::Other;  // a broken link
    if (S_ISREG(info.st_mode))
        return Kind::File;
    if (S_ISDIR(info.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

void sortEntries(std::vector<FolderEntry>& entries)
{
    const SortOrder& order = SortOrder::current();
    std::vector<std::pair<SortOrder::Key, size_t>> keyed;
    keyed.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        keyed.emplace_back(order.key(entries[i].name), i);
    // Names equal but for letter case would otherwise come in the order
    // the file system happens to return them; their bytes settle it.
    std::sort(keyed.begin(), keyed.end(), [&entries](const auto& a, const auto& b) {
        const int byText = a.first.compare(b.first);
        return byText != 0 ? byText < 0
                           : entries[a.second].nativeName < entries[b.second].nativeName;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto& k : keyed)
        sorted.push_back(std::move(entries[k.second]));
    entries = std::move(sorted);
}

}  // namespace

QString displayName(const QByteArray& native)
{
    return QFile::decodeName(native);
}

QByteArray joinPath(const QByteArray& nativeFolder, const QByteArray& nativeName)
{
    return nativeFolder + '/' + nativeName;
}

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

bool isReadableFolder(const QByteArray& nativeFolder)
{
    std::unique_ptr<DIR, DirCloser> dir(opendir(nativeFolder.constData()));
    return dir != nullptr;
}

std::optional<FolderListing> readFolder(const QByteArray& nativeFolder, Gather gather)
{
    if (nativeFolder.isEmpty() || nativeFolder.contains('\0'))
        return std::nullopt;
    std::unique_ptr<DIR, DirCloser> dir(opendir(nativeFolder.constData()));
    if (!dir)
        return std::nullopt;
    FolderListing listing;
    const int fd = dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return std::nullopt;  // an I/O error part-way: the listing would be incomplete
            break;
        }
        if (entry->d_name[0] == '.' || (gather == Gather::FoldersOnly && entry->d_type == DT_REG))
            continue;
        const Kind kind = kindOf(fd, entry);
        if (kind == Kind::Other || (gather == Gather::FoldersOnly && kind == Kind::File))
            continue;
        const QByteArray native(entry->d_name);
        auto& target = kind == Kind::File ? listing.files : listing.folders;
        target.push_back({native, displayName(native)});
    }
    sortEntries(listing.files);
    sortEntries(listing.folders);
    return listing;
}

}  // namespace quibex
