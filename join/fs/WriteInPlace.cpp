// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/WriteInPlace.h"

#include "join/fs/Retry.h"
#include "join/fs/Sizes.h"
#include "join/fs/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

namespace {

int copyThroughMemory(int from, int to, int64_t at, int64_t length)
{
    const auto buffer = std::make_unique_for_overwrite<char[]>(size_t(GatherBufferSize));
    while (at < length) {
        const ssize_t n = retryOnInterrupt([&] {
            return pread(from, buffer.get(), size_t(std::min(length - at, GatherBufferSize)), at);
        });
        if (n <= 0)
            return n < 0 ? errno : EIO;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = retryOnInterrupt(
                [&] { return pwrite(to, buffer.get() + done, size_t(n - done), at + done); });
            if (w <= 0)
                return w < 0 ? errno : EIO;
            done += w;
        }
        at += n;
    }
    return 0;
}

int copyAll(int from, int to, int64_t length)
{
    int64_t at = 0;
    while (at < length) {
        loff_t in = at;
        loff_t out = at;
        const ssize_t n = retryOnInterrupt([&] {
            return copy_file_range(from, &in, to, &out,
                                   size_t(std::min(length - at, KernelCopySpan)), 0);
        });
        if (n > 0) {
            at += n;
            continue;
        }
        // The kernel cannot copy between these two files: through memory.
        if (n == 0 || errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP
            || errno == EBADF)
            return copyThroughMemory(from, to, at, length);
        return errno;
    }
    return 0;
}

// Room for the whole new content is taken before the first old byte is
// overwritten: a volume too full for it fails here, the old file intact,
// rather than half way with old and new bytes mixed. File systems that
// cannot reserve room are written as they are.
int reserve(int file, int64_t length, int64_t oldLength)
{
    if (length <= oldLength)
        return 0;
    const int error =
        retryOnInterrupt([&] { return fallocate(file, FALLOC_FL_KEEP_SIZE, 0, length); }) == 0
        ? 0
        : errno;
    if (error == 0 || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL)
        return 0;
    // Whatever was reserved past the old end is given back; should that
    // fail too, the old content is still whole.
    [[maybe_unused]] const int released = ftruncate(file, oldLength);
    return error;
}

}  // namespace

int writeInPlace(int content, int folder, const QByteArray& name, const struct stat& expected)
{
    struct stat source;
    if (fstat(content, &source) != 0)
        return errno;
    UniqueFd file(openat(folder, name.constData(),
                         O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen())
        return errno;
    struct stat found;
    if (fstat(file.get(), &found) != 0)
        return errno;
    if (!S_ISREG(found.st_mode) || found.st_dev != expected.st_dev
        || found.st_ino != expected.st_ino)
        return EBUSY;
    if (const int error = reserve(file.get(), source.st_size, found.st_size))
        return error;
    if (const int error = copyAll(content, file.get(), source.st_size))
        return error;
    if (ftruncate(file.get(), source.st_size) != 0 || fdatasync(file.get()) != 0)
        return errno;
    return file.close();
}

}  // namespace quibex
