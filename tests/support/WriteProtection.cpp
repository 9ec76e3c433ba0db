// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WriteProtection.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex::test {

namespace {

bool setImmutable(const QByteArray& path, bool on)
{
    const int fd = open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

}  // namespace

WriteProtection::WriteProtection(const QByteArray& protectedPath) : path(protectedPath)
{
    struct stat info;
    if (stat(path.constData(), &info) != 0)
        return;
    mode = info.st_mode & 07777;
    chmod(path.constData(), mode & ~0222u);
    if (geteuid() == 0)
        immutable = setImmutable(path, true);
}

WriteProtection::~WriteProtection()
{
    if (immutable)
        setImmutable(path, false);
    if (mode != 0)
        chmod(path.constData(), mode);
}

bool WriteProtection::isEffective() const
{
    struct stat info;
    if (stat(path.constData(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode)) {
        const QByteArray probe = path + "/.probe";
        const int fd = open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return true;
        close(fd);
        unlink(probe.constData());
        return false;
    }
    const int fd = open(path.constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return true;
    close(fd);
    return false;
}

}  // namespace quibex::test
