// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/KeptAttributes.h"

#include "join/fs/FilePieces.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <sys/xattr.h>
#include <unistd.h>

namespace quibex {

namespace {

constexpr char AccessAcl[] = "system.posix_acl_access";
// Capabilities would hand the new content privileges the user never gave it.
constexpr char FileCapabilities[] = "security.capability";

// The layout of system.posix_acl_access: a version, then entries of a tag,
// a permission and an id.
constexpr uint16_t AclGroupObject = 0x04;
struct AclEntry {
    uint16_t tag;
    uint16_t permission;
    uint32_t id;
};

QByteArray readAttribute(const QByteArray& path, const char* name)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = getxattr(path.constData(), name, nullptr, 0);
        if (size < 0)
            return {};
        QByteArray value(size, '\0');
        const ssize_t n = getxattr(path.constData(), name, value.data(), size_t(value.size()));
        if (n >= 0)
            return value.left(n);
        if (errno != ERANGE)  // it grew in between: ask again
            return {};
    }
    return {};
}

QList<QByteArray> attributeNames(const QByteArray& path)
{
    const ssize_t size = listxattr(path.constData(), nullptr, 0);
    if (size <= 0)
        return {};
    QByteArray list(size, '\0');
    const ssize_t n = listxattr(path.constData(), list.data(), size_t(list.size()));
    if (n <= 0)
        return {};
    list.truncate(n);
    QList<QByteArray> names = list.split('\0');
    names.removeAll(QByteArray());
    return names;
}

int aclGroupPermission(const QByteArray& acl)
{
    for (qsizetype at = 4; at + qsizetype(sizeof(AclEntry)) <= acl.size(); at += sizeof(AclEntry)) {
        AclEntry entry;
        std::memcpy(&entry, acl.constData() + at, sizeof entry);
        if (entry.tag == AclGroupObject)
            return entry.permission & 07;
    }
    return -1;
}

bool isNotSupported(int error)
{
    return error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

// The old file's permission bits, for a new file of the same owner and
// group. With an ACL the group bits show its mask, the most any named entry
// gets: the owning group's own entry is taken instead, so that should the
// ACL not be copied, its group gets no more than it had.
mode_t keptMode(mode_t old, int aclGroup)
{
    mode_t bits = old & 07777;
    if (aclGroup >= 0)
        bits = (bits & ~mode_t(070)) | mode_t(aclGroup) << 3;
    return bits;
}

}  // namespace

int keepAttributes(int oldFile, const struct stat& old, int newFd, bool& kept)
{
    kept = false;
    struct stat own;
    if (fstat(newFd, &own) != 0)
        return errno;
    // Changing the group alone succeeds for any member of it; the owner
    // only for a privileged program. File systems without owners say so.
    const bool groupKept = own.st_gid == old.st_gid || fchown(newFd, uid_t(-1), old.st_gid) == 0;
    const bool ownerKept = own.st_uid == old.st_uid || fchown(newFd, old.st_uid, gid_t(-1)) == 0;
    // A new file of another owner would let that owner take it from the
    // old one (chmod it shut, say), even where the group stays: then the
    // caller writes into the old file instead, as cp does.
    kept = ownerKept && groupKept;
    if (!kept)
        return 0;

    // The old file is held by an O_PATH descriptor, which fgetxattr and
    // flistxattr refuse (EBADF): its attributes are read through the
    // descriptor's path, which names that same open file whatever happens
    // to its name meanwhile. They are written to the new file by its
    // descriptor.
    const QByteArray oldPath = descriptorPath(oldFile);
    const QByteArray acl = readAttribute(oldPath, AccessAcl);
    const mode_t mode = keptMode(old.st_mode, acl.isEmpty() ? -1 : aclGroupPermission(acl));
    // The mode may change now that the owner did (set-user-ID bits drop).
    if (fstat(newFd, &own) != 0)
        return errno;
    if ((own.st_mode & 07777) != mode && fchmod(newFd, mode) != 0 && !isNotSupported(errno))
        return errno;

    for (const QByteArray& name : attributeNames(oldPath)) {
        if (name == FileCapabilities)
            continue;
        const QByteArray value = name == AccessAcl ? acl : readAttribute(oldPath, name.constData());
        // An attribute this user may not read or set is left behind; the
        // bits above already keep the file from being wider open.
        (void)fsetxattr(newFd, name.constData(), value.constData(), size_t(value.size()), 0);
    }
    return 0;
}

}  // namespace quibex
