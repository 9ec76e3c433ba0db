// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/FilePieces.h"

#include "join/fs/Failure.h"
#include "join/fs/Retry.h"

#include <cerrno>

#include <unistd.h>

namespace quibex {

int writeAll(int fd, const char* data, int64_t length, int64_t at)
{
    while (length > 0) {
        const ssize_t n = retryOnInterrupt([&] { return pwrite(fd, data, size_t(length), at); });
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        length -= n;
        at += n;
    }
    return 0;
}

int readAll(int fd, char* data, int64_t length, int64_t at)
{
    while (length > 0) {
        const ssize_t n = retryOnInterrupt([&] { return pread(fd, data, size_t(length), at); });
        if (n < 0)
            return errno;
        if (n == 0)
            return InputEndedEarly;
        data += n;
        length -= n;
        at += n;
    }
    return 0;
}

QByteArray descriptorPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

}  // namespace quibex
