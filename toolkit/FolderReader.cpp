// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/FolderReader.h"

#include "toolkit/SortOrder.h"
#include "toolkit/drives/VolumeProbe.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <memory>

#include <cerrno>
#include <climits>

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

Kind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISDIR(mode))
        return Kind::Folder;
    return Kind::Other;
}

// A path with its "." and ".." parts taken away as text: where a link
// leads, as far as can be told without asking any volume.
QByteArray lexicallyNormal(const QByteArray& path)
{
    QList<QByteArray> kept;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept << part;
    }
    return '/' + kept.join('/');
}

// What a link leads to. A link into another volume is followed there, and
// that volume is asked for a moment only: a link into a volume that no
// longer answers is left out of the listing (as a broken link is), rather
// than holding the whole listing back.
Kind kindOfLink(int folderFd, const QByteArray& folder, const char* name,
                const QByteArray& ownVolume)
{
    char target[PATH_MAX];
    const ssize_t n = readlinkat(folderFd, name, target, sizeof target);
    if (n <= 0 || n >= ssize_t(sizeof target))
        return Kind::Other;
    QByteArray leadsTo(target, n);
    if (!leadsTo.startsWith('/'))
        leadsTo = folder + '/' + leadsTo;
    const QByteArray volume = volumeOf(lexicallyNormal(leadsTo));
    const QByteArray path = joinPath(folder, name);
    const auto follow = [path] {
        struct stat info;
        return stat(path.constData(), &info) == 0 ? kindOfMode(info.st_mode) : Kind::Other;
    };
    if (volume == ownVolume)
        return follow();
    return askVolumeFor<Kind>(volume, follow, VolumeAnswerBound).value_or(Kind::Other);
}

Kind kindOf(int folderFd, const QByteArray& folder, const dirent* entry,
            const QByteArray& ownVolume)
{
    // d_type answers without a system call for most entries; file systems
    // that do not fill it in are asked about the entry itself, on the
    // folder's own volume.
    if (entry->d_type == DT_REG)
        return Kind::File;
    if (entry->d_type == DT_DIR)
        return Kind::Folder;
    if (entry->d_type == DT_UNKNOWN) {
        struct stat info;
        if (fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return Kind::Other;
        if (!S_ISLNK(info.st_mode))
            return kindOfMode(info.st_mode);
    } else if (entry->d_type != DT_LNK) {
        return Kind::Other;
    }
    return kindOfLink(folderFd, folder, entry->d_name, ownVolume);
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
    return askVolumeFor<bool>(
               volumeOf(nativeFolder),
               [nativeFolder] {
                   std::unique_ptr<DIR, DirCloser> dir(opendir(nativeFolder.constData()));
                   return dir != nullptr;
               },
               FolderReadBound, Waiting::Answering)
        .value_or(false);
}

std::optional<FolderListing> readFolderWithin(const QByteArray& nativeFolder, Gather gather)
{
    return askVolumeFor<std::optional<FolderListing>>(
               volumeOf(nativeFolder),
               [nativeFolder, gather] { return readFolder(nativeFolder, gather); }, FolderReadBound,
               Waiting::Answering)
        .value_or(std::nullopt);
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
    const QByteArray ownVolume = volumeOf(nativeFolder);
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
        const Kind kind = kindOf(fd, nativeFolder, entry, ownVolume);
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
