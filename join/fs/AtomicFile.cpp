// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/AtomicFile.h"

#include "join/fs/FileId.h"
#include "join/fs/FilePieces.h"
#include "join/fs/KeptAttributes.h"
#include "join/fs/Leftovers.h"
#include "join/fs/OwnNames.h"
#include "join/fs/WriteInPlace.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

// Names tried before giving up on finding a free hidden one.
constexpr int NameAttempts = 100;

}  // namespace

int AtomicFile::create(Target newTarget, bool allowUnnamed)
{
    discard();
    target = std::move(newTarget);
    // A file with data is replaced only after the user said so.
    agreed = target.hasData();
    if (allowUnnamed) {
        const int opened = openat(target.folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (opened >= 0) {
            fd.reset(opened);
            // Held for the moment it bears a hidden name before the rename.
            (void)holdTemporary(opened);
            return 0;
        }
        // Only a file system without unnamed files is worth the named way;
        // any other failure (no permission, read-only) would fail it too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    return createNamed();
}

// The name is made and handed to the ending signals' cleanup in one step:
// an ending signal in between would leave it behind.
int AtomicFile::openArmed(const QByteArray& name)
{
    const EndingHeld held(guard);
    const int opened =
        openat(target.folder.get(), name.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
    if (opened >= 0)
        guard.named(target.folder.get(), name.constData());
    return opened;
}

int AtomicFile::linkArmed(const QByteArray& name)
{
    const EndingHeld held(guard);
    const int linked = linkInto(name);
    if (linked == 0)
        guard.named(target.folder.get(), name.constData());
    return linked;
}

int AtomicFile::createNamed()
{
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = ownName(OwnFile::Temporary);
        const int opened = openArmed(name);
        if (opened >= 0) {
            fd.reset(opened);
            temporaryName = name;
            // Its name tells another join that its process still runs; the
            // lock tells it too where the name cannot (a process of another
            // pid namespace on this machine).
            (void)holdTemporary(opened);
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

int AtomicFile::keepOldAttributes(bool& kept)
{
    // The file may have changed since it was checked; the one there now is
    // the one replaced.
    kept = true;
    const UniqueFd old(
        openat(target.folder.get(), target.name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!old.isOpen() || fstat(old.get(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    target.old = info;
    return keepAttributes(old.get(), info, fd.get(), kept);
}

bool AtomicFile::dataCameMeanwhile() const
{
    struct stat now;
    return target.exists
        && fstatat(target.folder.get(), target.name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(now.st_mode) && now.st_size > 0;
}

int AtomicFile::place(Placed& how, const StepWatch& watch)
{
    how = Placed::Renamed;
    if (!fd.isOpen())
        return EBADF;
    // The file was empty, and no question was asked; it has data now.
    if (!agreed && dataCameMeanwhile())
        return EEXIST;
    if (target.exists) {
        bool kept = true;
        if (const int error = keepOldAttributes(kept))
            return error;
        if (!kept) {
            how = Placed::WrittenIntoOld;
            return writeIntoOld(watch);
        }
    }
    return renameIntoPlace();
}

// A new file would take the old one from its owner: the content, complete
// now, goes into the old file, which keeps who may use it.
int AtomicFile::writeIntoOld(const StepWatch& watch)
{
    const int error =
        writeInPlace(fd.get(), target.folder.get(), target.name, target.old, watch, guard);
    if (error == 0)
        discard();
    return error;
}

int AtomicFile::renameIntoPlace()
{
    if (const int error = closeACopy(fd.get()))
        return error;
    if (const int error = target.exists ? putInPlace() : placeNew())
        return error;
    guard.unnamed();
    temporaryName.clear();
    // Makes the new name itself durable where an old file was at stake; a
    // folder opened without read access cannot be flushed, and the content
    // is safe either way.
    if (target.exists)
        (void)fsync(target.folder.get());
    struct stat placed { };
    (void)fstat(fd.get(), &placed);
    const int closed = fd.close();
    // A replaced file's content was flushed to disk before the rename; a new
    // one's close is the last word on whether all of it was written, and a
    // file the system could not finish is not left under the name.
    if (closed != 0 && !target.exists) {
        struct stat named;
        if (fstatat(target.folder.get(), target.name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
            && sameFile(named, placed))
            (void)unlinkat(target.folder.get(), target.name.constData(), 0);
        discard();
        return closed;
    }
    discard();
    return 0;
}

int AtomicFile::replaceWhatIsThere(Placed& how, const StepWatch& watch)
{
    agreed = true;
    struct stat now;
    if (fstatat(target.folder.get(), target.name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return errno;
        target.exists = false;  // gone again: the name is free
        return place(how, watch);
    }
    if (!S_ISREG(now.st_mode))
        return S_ISDIR(now.st_mode) ? EISDIR : EINVAL;
    target.exists = true;
    target.old = now;
    if (const int error = makeDurable())
        return error;
    return place(how, watch);
}

int AtomicFile::putInPlace()
{
    if (temporaryName.isEmpty())
        return replaceFromUnnamed();
    return renameat(target.folder.get(), temporaryName.constData(), target.folder.get(),
                    target.name.constData())
            == 0
        ? 0
        : errno;
}

// Puts the file under a name that was free, without replacing anything
// that came there meanwhile: EEXIST then.
int AtomicFile::placeNew()
{
    if (temporaryName.isEmpty())
        return linkInto(target.name);
    if (renameat2(target.folder.get(), temporaryName.constData(), target.folder.get(),
                  target.name.constData(), RENAME_NOREPLACE)
        == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A file system that cannot refuse to replace in the rename itself: a
    // second name, which never replaces what stands there, then the
    // temporary name taken away.
    if (linkat(target.folder.get(), temporaryName.constData(), target.folder.get(),
               target.name.constData(), 0)
        == 0) {
        (void)unlinkat(target.folder.get(), temporaryName.constData(), 0);
        return 0;
    }
    // Without links either (FAT; FUSE servers that leave links out answer
    // ENOSYS, or EROFS as fusepy's do): looking first is the best left.
    if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP && errno != EMLINK
        && errno != EROFS)
        return errno;
    struct stat there;
    if (fstatat(target.folder.get(), target.name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return putInPlace();
}

int AtomicFile::linkInto(const QByteArray& name)
{
    if (linkat(AT_FDCWD, descriptorPath(fd.get()).constData(), target.folder.get(),
               name.constData(), AT_SYMLINK_FOLLOW)
        == 0)
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
        const QByteArray name = ownName(OwnFile::Temporary);
        const int linked = linkArmed(name);
        if (linked == 0) {
            if (renameat(target.folder.get(), name.constData(), target.folder.get(),
                         target.name.constData())
                == 0)
                return 0;
            const int error = errno;
            unlinkat(target.folder.get(), name.constData(), 0);
            guard.unnamed();
            return error;
        }
        if (linked != EEXIST)
            return linked;
    }
    return EEXIST;
}

void AtomicFile::discard()
{
    if (target.madeByProbe && target.folder.isOpen()) {
        struct stat there;
        if (fstatat(target.folder.get(), target.name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0
            && sameFile(there, target.old) && there.st_size == 0)
            (void)unlinkat(target.folder.get(), target.name.constData(), 0);
    }
    if (!temporaryName.isEmpty() && target.folder.isOpen())
        unlinkat(target.folder.get(), temporaryName.constData(), 0);
    if (!temporaryName.isEmpty())
        guard.unnamed();
    temporaryName.clear();
    fd.reset();
    target = Target();
    agreed = false;
}

}  // namespace quibex
