// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/StaleTemporaries.h"

#include "join/fs/Retry.h"
#include "join/fs/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

constexpr char Prefix[] = ".quibex-";
constexpr char Suffix[] = ".tmp";
constexpr size_t RandomBytes = 6;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void removeIfUnheld(int folder, const char* name)
{
    // Only a regular file is opened: opening a device can have effects.
    struct stat named;
    if (fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode))
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

QByteArray temporaryNameCandidate()
{
    unsigned char random[RandomBytes];
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != ssize_t(sizeof random)) {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const unsigned long mixed =
            static_cast<unsigned long>(now.tv_nsec) ^ static_cast<unsigned long>(getpid()) << 16;
        for (size_t i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(mixed >> (8 * i));
    }
    return Prefix + QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex()
        + Suffix;
}

bool isTemporaryName(const char* name)
{
    const size_t length = std::strlen(name);
    const size_t prefix = sizeof Prefix - 1;
    const size_t suffix = sizeof Suffix - 1;
    if (length != prefix + 2 * RandomBytes + suffix || std::strncmp(name, Prefix, prefix) != 0
        || std::strcmp(name + length - suffix, Suffix) != 0)
        return false;
    for (size_t i = prefix; i < length - suffix; ++i) {
        if (!std::strchr("0123456789abcdef", name[i]))
            return false;
    }
    return true;
}

int holdTemporary(int fd)
{
    return retryOnInterrupt([&] { return flock(fd, LOCK_EX); }) == 0 ? 0 : errno;
}

void removeStaleTemporaries(int folder)
{
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR* dir = fdopendir(listing);
    if (!dir) {
        close(listing);
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        if (isTemporaryName(entry->d_name))
            removeIfUnheld(folder, entry->d_name);
    }
    closedir(dir);
}

}  // namespace quibex
