// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/ProbeNote.h"

#include "join/fs/OwnNames.h"
#include "join/fs/Retry.h"
#include "join/fs/UniqueFd.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

// The longest name a folder holds.
constexpr qsizetype MaxName = 255;

}  // namespace

ProbeNote::~ProbeNote()
{
    if (!noteName.isEmpty())
        (void)unlinkat(folder, noteName.constData(), 0);
}

int ProbeNote::write(int inFolder, const QByteArray& name)
{
    const QByteArray note = ownName(OwnFile::ProbeNote);
    UniqueFd fd(openat(inFolder, note.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600));
    if (!fd.isOpen())
        return errno;
    folder = inFolder;
    noteName = note;
    const ssize_t n =
        retryOnInterrupt([&] { return ::write(fd.get(), name.constData(), size_t(name.size())); });
    if (n != name.size())
        return n < 0 ? errno : EIO;
    return fd.close();
}

int removeAbandonedProbe(int folder, const char* noteName)
{
    const UniqueFd note(openat(folder, noteName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat own;
    if (!note.isOpen() || fstat(note.get(), &own) != 0)
        return errno;
    if (!S_ISREG(own.st_mode) || own.st_uid != geteuid() || own.st_size > MaxName)
        return EPERM;
    QByteArray name(MaxName, '\0');
    const ssize_t n =
        retryOnInterrupt([&] { return pread(note.get(), name.data(), size_t(name.size()), 0); });
    if (n < 0)
        return errno;
    name.truncate(n);
    struct stat tried;
    // What the try made is an empty file of this user's: anything else
    // under that name is not its doing.
    if (!name.isEmpty() && !name.contains('/') && !name.contains('\0')
        && fstatat(folder, name.constData(), &tried, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(tried.st_mode) && tried.st_size == 0 && tried.st_uid == geteuid())
        (void)unlinkat(folder, name.constData(), 0);
    return unlinkat(folder, noteName, 0) == 0 ? 0 : errno;
}

}  // namespace quibex
