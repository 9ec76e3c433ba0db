// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/ChunkCopier.h"

#include "join/fs/CopyRange.h"
#include "join/fs/Failure.h"
#include "join/fs/FilePieces.h"
#include "join/fs/InputFile.h"
#include "join/fs/OutputWriter.h"
#include "join/fs/Retry.h"
#include "join/fs/Sizes.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

int ChunkCopier::copy(const InputFile& input, int64_t offset, int64_t length, OutputWriter& output)
{
    const int fd = input.handle();
    const int64_t end = offset + length;
    // Asking for holes costs two calls per range: only files with fewer
    // blocks than their size are asked.
    if (!input.maySkipHoles())
        return copyData(fd, offset, end, output);
    int64_t pos = offset;
    bool skippedHole = false;
    while (pos < end) {
        off_t data = lseek(fd, pos, SEEK_DATA);
        if (data < 0)
            // ENXIO: no data from pos to the end of the file. Any other error:
            // the file system cannot tell, so everything counts as data.
            data = errno == ENXIO ? end : pos;
        if (data > pos) {
            const int64_t stop = std::min<int64_t>(data, end);
            output.skip(stop - pos);
            pos = stop;
            skippedHole = true;
            continue;
        }
        const off_t hole = lseek(fd, pos, SEEK_HOLE);
        const int64_t stop = hole <= pos ? end : std::min<int64_t>(hole, end);
        if (const int error = copyData(fd, pos, stop, output))
            return error;
        pos = stop;
    }
    // A hole reads as zeros only inside the file: past its end the input has
    // shrunk, and those zeros would not be its bytes.
    if (skippedHole) {
        struct stat info;
        if (fstat(fd, &info) != 0)
            return errno;
        if (info.st_size < end)
            return InputEndedEarly;
    }
    return 0;
}

int ChunkCopier::copyData(int input, int64_t from, int64_t to, OutputWriter& output)
{
    if (inKernel && to - from > SmallPiece) {
        if (const int error = copyInKernel(input, from, to, output))
            return error;
    }
    // What the kernel did not copy goes through the buffer, a piece at a time.
    while (from < to) {
        const int64_t piece = std::min(to - from, GatherBufferSize);
        if (const int error = readInto(input, from, from + piece, output))
            return error;
        // A large piece gains nothing from waiting in memory for the next
        // one: written now, a full disk shows with the chunk it hit, and the
        // display the user sees behind the message tells how far it got.
        if (piece > SmallPiece) {
            if (const int error = output.flush())
                return error;
        }
        from += piece;
    }
    return 0;
}

int ChunkCopier::copyInKernel(int input, int64_t& from, int64_t to, OutputWriter& output)
{
    // The kernel writes at the descriptor: what the output holds goes first.
    if (const int error = output.prepareDirectWrite())
        return error;
    while (from < to) {
        loff_t inOffset = from;
        loff_t outOffset = output.position();
        const ssize_t n = retryOnInterrupt([&] {
            return copy_file_range(input, &inOffset, output.handle(), &outOffset,
                                   size_t(std::min(to - from, KernelCopySpan)), 0);
        });
        if (n > 0) {
            from += n;
            output.advance(n);
            continue;
        }
        const int error = n < 0 ? errno : 0;
        if (output.fallBackToZeros(error, output.position()))
            continue;
        // Nothing copied: the end of the file, or a file system that reports
        // no bytes for files it cannot copy. Reading tells the two apart.
        if (error != 0 && !kernelCannotCopy(error))
            return error;
        inKernel = false;
        return 0;
    }
    return 0;
}

int ChunkCopier::readInto(int input, int64_t from, int64_t to, OutputWriter& output)
{
    char* area = nullptr;
    if (const int error = output.gatherArea(to - from, area))
        return error;
    if (const int error = readAll(input, area, to - from, from))
        return error;
    output.gathered(to - from);
    return 0;
}

}  // namespace quibex
