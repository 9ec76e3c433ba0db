// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/AtomicFile.h"

#include "join/KeptAttributes.h"
#include "join/ProcessSignals.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

// Names tried before giving up on finding a free hidden one.
constexpr int NameAttempts = 100;

// A hidden name for a temporary file, unlikely to be taken; callers still
// create it exclusively and try another when it is.
QByteArray temporaryNameCandidate()
{
    unsigned char random[6];
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != ssize_t(sizeof random)) {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const unsigned long mixed =
            static_cast<unsigned long>(now.tv_nsec) ^ static_cast<unsigned long>(getpid()) << 16;
        for (size_t i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(mixed >> (8 * i));
    }
    return ".quibex-" + QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex()
           + ".tmp";
}

}  // namespace

int AtomicFile::create(Target newTarget, bool allowUnnamed)
{
    discard();
    target = std::move(newTarget);
    if (allowUnnamed) {
        const int opened = openat(target.folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (opened >= 0) {
            fd.reset(opened);
            return 0;
        }
        // Only a file system without unnamed files is worth the named way;
        // any other failure (no permission, read-only) would fail it too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    return createNamed();
}

int AtomicFile::createNamed()
{
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = temporaryNameCandidate();
        const int opened = openat(target.folder.get(), name.constData(),
                                  O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
        if (opened >= 0) {
            armTemporaryCleanup(target.folder.get(), name.constData());
            fd.reset(opened);
            temporaryName = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int AtomicFile::makeDurable()
{
    if (!target.exists)
        return 0;
    return fdatasync(fd.get()) == 0 ? 0 : errno;
}

int AtomicFile::keepOldAttributes()
{
    // The file may have changed since it was checked; the one there now is
    // the one replaced.
    const UniqueFd old(openat(target.folder.get(), target.name.constData(), O_PATH | O_CLOEXEC));
    struct stat info;
    if (!old.isOpen() || fstat(old.get(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(info.st_mode))
        return EISDIR;
    return keepAttributes(old.get(), info, fd.get());
}

int AtomicFile::place()
{
    if (!fd.isOpen())
        return EBADF;
    if (target.exists) {
        if (const int error = keepOldAttributes())
            return error;
    }
    int error = 0;
    if (!temporaryName.isEmpty()) {
        if (renameat(target.folder.get(), temporaryName.constData(), target.folder.get(),
                     target.name.constData())
            != 0)
            error = errno;
    } else if (target.exists) {
        error = replaceFromUnnamed();
    } else {
        error = linkInto(target.name);
        // Someone made a file there meanwhile: it is replaced as it would
        // have been had it been there first.
        if (error == EEXIST)
            error = replaceFromUnnamed();
    }
    if (error)
        return error;
    disarmTemporaryCleanup();
    temporaryName.clear();
    // Makes the new name itself durable where an old file was at stake; a
    // folder opened without read access cannot be flushed, and the content
    // is safe either way.
    if (target.exists)
        (void)fsync(target.folder.get());
    discard();
    return 0;
}

int AtomicFile::linkInto(const QByteArray& name)
{
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd.get());
    if (linkat(AT_FDCWD, procPath, target.folder.get(), name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    // Without /proc, the descriptor itself can be linked by a privileged program.
    if (linkat(fd.get(), "", target.folder.get(), name.constData(), AT_EMPTY_PATH) == 0)
        return 0;
    return errno;
}

int AtomicFile::replaceFromUnnamed()
{
    // An unnamed file can only be linked to a free name, so it gets a hidden
    // one first and is renamed over the target from there.
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = temporaryNameCandidate();
        const int linked = linkInto(name);
        if (linked == 0) {
            armTemporaryCleanup(target.folder.get(), name.constData());
            if (renameat(target.folder.get(), name.constData(), target.folder.get(),
                         target.name.constData())
                == 0)
                return 0;
            const int error = errno;
            unlinkat(target.folder.get(), name.constData(), 0);
            disarmTemporaryCleanup();
            return error;
        }
        if (linked != EEXIST)
            return linked;
    }
    return EEXIST;
}

void AtomicFile::discard()
{
    if (!temporaryName.isEmpty() && target.folder.isOpen())
        unlinkat(target.folder.get(), temporaryName.constData(), 0);
    if (!temporaryName.isEmpty())
        disarmTemporaryCleanup();
    temporaryName.clear();
    fd.reset();
    target = Target();
}

}  // namespace quibex
