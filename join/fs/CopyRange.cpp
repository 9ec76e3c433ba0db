// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/CopyRange.h"

#include "join/fs/Failure.h"
#include "join/fs/FilePieces.h"
#include "join/fs/Retry.h"
#include "join/fs/Sizes.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include <unistd.h>

namespace quibex {

namespace {

// One step through memory, a buffer at a time.
int copyThroughMemory(int from, int64_t fromOffset, int to, int64_t toOffset, int64_t length,
                      char* buffer)
{
    for (int64_t done = 0; done < length;) {
        const int64_t piece = std::min(length - done, GatherBufferSize);
        if (const int error = readAll(from, buffer, piece, fromOffset + done))
            return error;
        if (const int error = writeAll(to, buffer, piece, toOffset + done))
            return error;
        done += piece;
    }
    return 0;
}

// One step inside the kernel. False in inKernel when it cannot copy between
// these two files: the caller goes on through memory from where it stopped.
int copyInKernel(int from, int64_t& fromOffset, int to, int64_t& toOffset, int64_t& length,
                 bool& inKernel)
{
    while (length > 0) {
        loff_t in = fromOffset;
        loff_t out = toOffset;
        const ssize_t n = retryOnInterrupt([&] {
            return copy_file_range(from, &in, to, &out, size_t(std::min(length, KernelCopySpan)),
                                   0);
        });
        if (n > 0) {
            fromOffset += n;
            toOffset += n;
            length -= n;
            continue;
        }
        // Nothing copied: the end of the file, or a file system that reports
        // no bytes for files it cannot copy. Reading tells the two apart.
        if (n < 0 && !kernelCannotCopy(errno))
            return errno;
        inKernel = false;
        return 0;
    }
    return 0;
}

}  // namespace

bool kernelCannotCopy(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
        || error == ENOTSUP || error == EBADF;
}

int copyRange(int from, int64_t fromOffset, int to, int64_t toOffset, int64_t length,
              const StepWatch& watch)
{
    bool inKernel = true;
    std::unique_ptr<char[]> buffer;
    for (int64_t done = 0; done < length;) {
        watch.progress(done, length);
        if (watch.stop())
            return CopyStopped;
        int64_t step = std::min(length - done, DisplayChunk);
        int64_t in = fromOffset + done;
        int64_t out = toOffset + done;
        const int64_t stepLength = step;
        if (inKernel) {
            if (const int error = copyInKernel(from, in, to, out, step, inKernel))
                return error;
        }
        if (step > 0) {
            if (!buffer)
                buffer = std::make_unique_for_overwrite<char[]>(size_t(GatherBufferSize));
            if (const int error = copyThroughMemory(from, in, to, out, step, buffer.get()))
                return error;
        }
        done += stepLength;
    }
    watch.progress(length, length);
    return 0;
}

}  // namespace quibex
