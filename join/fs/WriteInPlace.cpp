// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/WriteInPlace.h"

#include "join/fs/Backup.h"
#include "join/fs/CopyRange.h"
#include "join/fs/EndingGuard.h"
#include "join/fs/FileId.h"
#include "join/fs/Retry.h"
#include "join/fs/UniqueFd.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

namespace {

// Room for the whole new content is taken before the first old byte is
// overwritten, where the file system can reserve it: a volume too full for
// it fails here rather than half way. Elsewhere the backup covers a full
// volume met on the way.
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
    // Whatever was reserved past the old end is given back.
    [[maybe_unused]] const int released = ftruncate(file, oldLength);
    return error;
}

int writeNewContent(int content, int file, int64_t length, int64_t oldLength,
                    const StepWatch& watch)
{
    if (const int error = reserve(file, length, oldLength))
        return error;
    if (const int error = copyRange(content, 0, file, 0, length, watch))
        return error;
    if (ftruncate(file, length) != 0 || fdatasync(file) != 0)
        return errno;
    return closeACopy(file);
}

}  // namespace

int writeInPlace(int content, int folder, const QByteArray& name, const struct stat& expected,
                 const StepWatch& watch, EndingGuard& guard)
{
    struct stat source;
    if (fstat(content, &source) != 0)
        return errno;
    // Read as well as written: the old content is kept aside first, and a
    // file that may not be read cannot be.
    UniqueFd file(
        openat(folder, name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen())
        return errno;
    struct stat found;
    if (fstat(file.get(), &found) != 0)
        return errno;
    if (!S_ISREG(found.st_mode) || !sameFile(found, expected))
        return EBUSY;

    // From the first byte of the backup until the file holds one content
    // whole, an ending signal waits: this work puts things back and stops.
    const EndingHeld untilWhole(guard);
    const int64_t total = found.st_size + source.st_size;
    StepWatch steps;
    steps.stopped = [&watch, &guard] { return watch.stop() || guard.endingAsked(); };
    steps.step = [&watch, &guard, total](int64_t done, int64_t) {
        guard.progressed();
        watch.progress(done, total);
    };
    Backup backup;
    if (const int error = backup.make(folder, name, file.get(), steps))
        return error;
    steps.step = [&watch, &guard, total, &found](int64_t done, int64_t) {
        guard.progressed();
        watch.progress(found.st_size + done, total);
    };
    if (const int error =
            writeNewContent(content, file.get(), source.st_size, found.st_size, steps)) {
        // Should putting back fail too, the backup stays for the next join.
        StepWatch puttingBack;
        puttingBack.step = [&guard](int64_t, int64_t) { guard.progressed(); };
        (void)backup.putBack(file.get(), puttingBack);
        return error;
    }
    backup.remove();
    // The content was flushed and its close checked before the backup went.
    (void)file.close();
    return 0;
}

}  // namespace quibex
