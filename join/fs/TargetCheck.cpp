// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/TargetCheck.h"

#include "join/fs/ProbeNote.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quibex {

namespace {

// Symbolic links met before the path is given up, as the kernel does.
constexpr int MaxLinkHops = 40;
// Removals of the probe file tried before the name is refused.
constexpr int ProbeRemovalAttempts = 3;

// Why the kernel would refuse to follow the link at path, or 0. Only a
// refusal counts: a link to nothing yet (ENOENT) may be followed.
int kernelFollowRefusal(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_PATH | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return 0;
    }
    return errno == ENOENT ? 0 : errno;
}

// Follows a symbolic link standing at path, and the links it leads to. A
// path where nothing stands yet is returned as it is.
std::optional<QByteArray> resolveLinks(QByteArray path, int& error)
{
    for (int hops = 0; hops < MaxLinkHops; ++hops) {
        struct stat info;
        if (lstat(path.constData(), &info) != 0) {
            if (errno == ENOENT)
                return path;
            error = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode))
            return path;
        // The link is followed here by hand, so the kernel's own refusals
        // (a link of another user in a sticky folder, under
        // fs.protected_symlinks) are asked for first: the kernel follows
        // it, and the links after it, the way a shell's open would. A
        // missing end is fine: the file is created there.
        if (const int refused = kernelFollowRefusal(path)) {
            error = refused;
            return std::nullopt;
        }
        QByteArray target(4096, '\0');
        const ssize_t n = readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size()) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        target.truncate(n);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    error = ELOOP;
    return std::nullopt;
}

// Whether this process may remove other users' files from a sticky folder.
bool mayOverrideStickyFolders()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return geteuid() == 0;
    return (data[0].effective & (1u << CAP_FOWNER)) != 0;
}

// Append-only or immutable: the name may not be removed or replaced.
bool isLockedInPlace(int folder, const char* name, int flags)
{
    struct statx info;
    if (statx(folder, name, flags | AT_STATX_SYNC_AS_STAT, STATX_TYPE, &info) != 0)
        return false;
    return (info.stx_attributes & (STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE)) != 0;
}

// The rename that puts the new file in place would be refused.
int replaceRefusal(const Target& target)
{
    // The folder being writable is not enough to overwrite a protected file.
    if (faccessat(target.folder.get(), target.name.constData(), W_OK, AT_EACCESS) != 0)
        return errno;
    if (isLockedInPlace(target.folder.get(), target.name.constData(), 0)
        || isLockedInPlace(target.folder.get(), "", AT_EMPTY_PATH))
        return EPERM;
    // The new file is made in the folder, then renamed over the old one.
    if (faccessat(target.folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    struct stat folder;
    if (fstat(target.folder.get(), &folder) != 0)
        return errno;
    const uid_t me = geteuid();
    if ((folder.st_mode & S_ISVTX) && target.old.st_uid != me && folder.st_uid != me
        && !mayOverrideStickyFolders())
        return EPERM;
    return 0;
}

// Makes and removes the name at once: some file systems refuse names (a
// colon on FAT) only when a file is created under them.
int probeNewName(Target& target, EndingGuard& guard)
{
    // In an append-only folder the probe could not be removed again.
    if (isLockedInPlace(target.folder.get(), "", AT_EMPTY_PATH))
        return EPERM;
    // From the note to the probe's removal, an ending signal waits: a kill
    // leaves the note, for the next join to remove the probe.
    const EndingHeld held(guard);
    ProbeNote note;
    if (const int error = note.write(target.folder.get(), target.name))
        return error;
    const int fd = openat(target.folder.get(), target.name.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return errno;
    struct stat probe;
    const bool measured = fstat(fd, &probe) == 0;
    close(fd);
    // A removal that failed once (an interrupted or briefly failing call)
    // is tried again.
    for (int attempt = 0; attempt < ProbeRemovalAttempts; ++attempt) {
        if (unlinkat(target.folder.get(), target.name.constData(), 0) == 0 || errno == ENOENT)
            return 0;
    }
    // The name is good, since it was made; refusing it now would leave the
    // probe behind the message. The join goes on, with the probe as the
    // empty file it replaces, and removes it again if it fails.
    if (!measured)
        return EIO;
    target.exists = true;
    target.old = probe;
    target.madeByProbe = true;
    return 0;
}

int openFolder(const QByteArray& path, UniqueFd& folder)
{
    int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)  // a folder we may write in but not list
        fd = ::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    folder.reset(fd);
    return 0;
}

}  // namespace

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    if (slash == 0)
        return "/";
    return path.left(slash);
}

int checkTarget(const QByteArray& path, Target& target, EndingGuard& guard)
{
    target = Target();
    if (path.isEmpty() || path.contains('\0'))
        return EINVAL;
    int error = 0;
    const std::optional<QByteArray> resolved = resolveLinks(path, error);
    if (!resolved)
        return error;
    target.name = resolved->mid(resolved->lastIndexOf('/') + 1);
    if (target.name.isEmpty() || target.name == "." || target.name == "..")
        return EISDIR;
    if (const int refused = openFolder(folderOf(*resolved), target.folder))
        return refused;

    if (fstatat(target.folder.get(), target.name.constData(), &target.old, 0) != 0) {
        if (errno != ENOENT)
            return errno;
        return probeNewName(target, guard);
    }
    target.exists = true;
    // Only a regular file is replaced.
    if (!S_ISREG(target.old.st_mode))
        return S_ISDIR(target.old.st_mode) ? EISDIR : EINVAL;
    return replaceRefusal(target);
}

}  // namespace quibex
