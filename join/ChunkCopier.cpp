#include "join/ChunkCopier.h"

#include "join/InputFile.h"
#include "join/OutputFile.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace quibex {

namespace {

// The errors by which copy_file_range says it cannot copy between these two
// files at all, as opposed to a read or write that failed.
bool kernelCopyUnavailable(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
           || error == ENOTSUP || error == EBADF;
}

}  // namespace

ChunkCopier::ChunkCopier(bool kernelCopy) : inKernel(kernelCopy) {}
ChunkCopier::~ChunkCopier() = default;

bool ChunkCopier::copy(const InputFile& input, int64_t offset, int64_t length, OutputFile& output)
{
    const int fd = input.handle();
    const int64_t end = offset + length;
    // Asking for holes costs two calls per range: only files with fewer
    // blocks than their size are asked.
    if (!input.maySkipHoles())
        return length <= GatheredRange ? gather(fd, offset, end, output)
                                       : copyData(fd, offset, end, output);
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
        if (!copyData(fd, pos, stop, output))
            return false;
        pos = stop;
    }
    // A hole reads as zeros only inside the file: past its end the input has
    // shrunk, and those zeros would not be its bytes.
    if (skippedHole) {
        struct stat info;
        if (fstat(fd, &info) != 0 || info.st_size < end)
            return false;
    }
    return true;
}

bool ChunkCopier::gather(int input, int64_t from, int64_t to, OutputFile& output)
{
    char* area = output.gatherArea(to - from);
    if (!area)
        return false;
    int64_t done = 0;
    while (from + done < to) {
        const ssize_t n = pread(input, area + done, size_t(to - from - done), from + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;  // a read error, or the file ended early
        done += n;
    }
    output.gathered(done);
    return true;
}

bool ChunkCopier::copyData(int input, int64_t from, int64_t to, OutputFile& output)
{
    // The kernel writes at the handle: what the output holds goes first.
    if (from < to && inKernel && !output.flush())
        return false;
    while (from < to && inKernel) {
        loff_t inOffset = from;
        loff_t outOffset = output.position();
        const ssize_t n = copy_file_range(input, &inOffset, output.handle(), &outOffset,
                                          size_t(to - from), 0);
        if (n > 0) {
            from += n;
            output.advance(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Nothing copied: the end of the file, or a file system that reports
        // no bytes for files it cannot copy. Reading tells the two apart.
        if (n == 0 || kernelCopyUnavailable(errno))
            inKernel = false;
        else
            return false;
    }
    return copyThroughBuffer(input, from, to, output);
}

bool ChunkCopier::copyThroughBuffer(int input, int64_t from, int64_t to, OutputFile& output)
{
    if (from < to && !buffer)
        buffer = std::make_unique<char[]>(size_t(ChunkSize));
    while (from < to) {
        const ssize_t n = pread(input, buffer.get(), size_t(std::min(to - from, ChunkSize)), from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;  // a read error, or the file ended early
        if (!output.write(buffer.get(), n))
            return false;
        from += n;
    }
    return true;
}

}  // namespace quibex
