// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/Leftovers.h"

#include "join/fs/Backup.h"
#include "join/fs/FileId.h"
#include "join/fs/OwnNames.h"
#include "join/fs/ProbeNote.h"
#include "join/fs/Retry.h"
#include "join/fs/UniqueFd.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

// A plain file of this user's: what a join makes. It may have a second
// name: a join ended between giving the file its own name and taking the
// temporary one away left both, and removing the temporary name then
// leaves the file under its own.
bool isOwnPlainFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == geteuid();
}

void removeIfUnheld(int folder, const char* name)
{
    // Only a regular file is opened: opening a device can have effects.
    struct stat named;
    if (fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !isOwnPlainFile(named))
        return;
    const UniqueFd file(
        openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat held;
    if (!file.isOpen() || fstat(file.get(), &held) != 0 || !sameFile(held, named))
        return;
    // A running join holds its temporary: the lock is refused.
    if (flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    // Still that file under that name, now that it is locked.
    if (fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(held, named))
        (void)unlinkat(folder, name, 0);
}

}  // namespace

int holdTemporary(int fd)
{
    return retryOnInterrupt([&] { return flock(fd, LOCK_EX); }) == 0 ? 0 : errno;
}

int clearLeftovers(int folder)
{
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return 0;
    DIR* dir = fdopendir(listing);
    if (!dir) {
        close(listing);
        return 0;
    }
    int restored = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::optional<OwnNameParts> own = parseOwnName(entry->d_name);
        if (!own || !own->makerIsGone)
            continue;
        switch (own->kind) {
        case OwnFile::Temporary: removeIfUnheld(folder, entry->d_name); break;
        case OwnFile::ProbeNote: (void)removeAbandonedProbe(folder, entry->d_name); break;
        case OwnFile::Backup:
            if (restoreAbandonedBackup(folder, entry->d_name) == 0)
                ++restored;
            break;
        }
    }
    closedir(dir);
    return restored;
}

}  // namespace quibex
