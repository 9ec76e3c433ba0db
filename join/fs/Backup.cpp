// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/Backup.h"

#include "join/fs/CopyRange.h"
#include "join/fs/FilePieces.h"
#include "join/fs/OwnNames.h"
#include "join/fs/Retry.h"
#include "join/fs/UniqueFd.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

// What follows the old bytes: the file's name, then this record. Read only
// on the machine that wrote it (the name says so), in its byte order.
constexpr char Magic[8] = {'Q', 'B', 'X', 'B', 'A', 'K', '1', '\n'};
struct Footer {
    char magic[8];
    uint64_t oldLength;
    uint64_t device;
    uint64_t inode;
    uint64_t nameLength;
};

// The old bytes, shared with the file where the file system can.
int copyContent(int target, int backup, int64_t length, const StepWatch& watch)
{
    if (length > 0 && ioctl(backup, FICLONE, target) == 0)
        return 0;
    return copyRange(target, 0, backup, 0, length, watch);
}

int writeFooter(int backup, const QByteArray& name, const struct stat& old)
{
    Footer footer{};
    std::memcpy(footer.magic, Magic, sizeof Magic);
    footer.oldLength = uint64_t(old.st_size);
    footer.device = uint64_t(old.st_dev);
    footer.inode = uint64_t(old.st_ino);
    footer.nameLength = uint64_t(name.size());
    const QByteArray tail =
        name + QByteArray(reinterpret_cast<const char*>(&footer), sizeof footer);
    // Cut first: a clone may have brought bytes the file gained since it was measured.
    if (ftruncate(backup, old.st_size) != 0)
        return errno;
    return writeAll(backup, tail.constData(), tail.size(), old.st_size);
}

bool readFooter(int backup, QByteArray& name, Footer& footer)
{
    struct stat info;
    if (fstat(backup, &info) != 0 || info.st_size < int64_t(sizeof footer))
        return false;
    const int64_t at = info.st_size - int64_t(sizeof footer);
    if (readAll(backup, reinterpret_cast<char*>(&footer), sizeof footer, at) != 0
        || std::memcmp(footer.magic, Magic, sizeof Magic) != 0 || footer.nameLength == 0
        || footer.nameLength > 255 || footer.oldLength + footer.nameLength != uint64_t(at))
        return false;
    name = QByteArray(qsizetype(footer.nameLength), '\0');
    return readAll(backup, name.data(), name.size(), int64_t(footer.oldLength)) == 0
        && !name.contains('/') && !name.contains('\0') && name != "." && name != "..";
}

// The old content written back from the start, and nothing after it. The
// file is emptied first: its new blocks are given back before the old
// content needs room again.
int writeBack(int backup, int64_t length, int target, const StepWatch& watch = {})
{
    if (ftruncate(target, 0) != 0)
        return errno;
    StepWatch told;
    told.step = watch.step;
    if (const int error = copyRange(backup, 0, target, 0, length, told))
        return error;
    if (ftruncate(target, length) != 0 || fdatasync(target) != 0)
        return errno;
    return 0;
}

void removeName(int folder, const QByteArray& name)
{
    if (unlinkat(folder, name.constData(), 0) == 0)
        (void)fsync(folder);
}

}  // namespace

Backup::~Backup()
{
    // Made but neither put back nor removed: the owner of this object has
    // not told whether the new content is whole, so the backup stays, for
    // the next join to put back.
}

int Backup::make(int inFolder, const QByteArray& fileName, int target, const StepWatch& watch)
{
    struct stat old;
    if (fstat(target, &old) != 0)
        return errno;
    const QByteArray temporary = ownName(OwnFile::Temporary);
    UniqueFd backup(
        openat(inFolder, temporary.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600));
    if (!backup.isOpen())
        return errno;
    int error = copyContent(target, backup.get(), old.st_size, watch);
    if (!error)
        error = writeFooter(backup.get(), fileName, old);
    if (!error && fdatasync(backup.get()) != 0)
        error = errno;
    if (!error)
        error = backup.close();
    const QByteArray complete = completedBackupName(temporary);
    if (!error && renameat(inFolder, temporary.constData(), inFolder, complete.constData()) != 0)
        error = errno;
    if (error) {
        (void)unlinkat(inFolder, temporary.constData(), 0);
        return error;
    }
    // The backup's name must outlast a power loss before the first old
    // byte is overwritten. A folder opened without read access cannot be
    // flushed; the backup is still complete on disk.
    (void)fsync(inFolder);
    folder = inFolder;
    name = complete;
    oldLength = old.st_size;
    return 0;
}

int Backup::putBack(int target, const StepWatch& watch)
{
    const UniqueFd backup(openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!backup.isOpen())
        return errno;
    if (const int error = writeBack(backup.get(), oldLength, target, watch))
        return error;
    remove();
    return 0;
}

void Backup::remove()
{
    if (name.isEmpty())
        return;
    removeName(folder, name);
    name.clear();
}

int restoreAbandonedBackup(int folder, const char* backupName)
{
    const UniqueFd backup(openat(folder, backupName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat own;
    if (!backup.isOpen() || fstat(backup.get(), &own) != 0)
        return errno;
    // Only a backup of this user's, a plain file with no other name.
    if (!S_ISREG(own.st_mode) || own.st_uid != geteuid() || own.st_nlink != 1)
        return EPERM;
    QByteArray name;
    Footer footer{};
    if (!readFooter(backup.get(), name, footer))
        return EINVAL;
    const UniqueFd target(
        openat(folder, name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat found;
    if (!target.isOpen() || fstat(target.get(), &found) != 0)
        return errno;
    if (!S_ISREG(found.st_mode) || uint64_t(found.st_dev) != footer.device
        || uint64_t(found.st_ino) != footer.inode)
        return EBUSY;
    if (const int error = writeBack(backup.get(), int64_t(footer.oldLength), target.get()))
        return error;
    removeName(folder, backupName);
    return 0;
}

}  // namespace quibex
