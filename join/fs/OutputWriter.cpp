// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/OutputWriter.h"

#include "join/fs/FilePieces.h"
#include "join/fs/Sizes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

namespace {

// Zeros written at a time where a hole cannot be left.
constexpr int64_t ZeroBlock = 65536;

}  // namespace

int OutputWriter::write(const char* data, int64_t length)
{
    if (length <= 0)
        return 0;
    // A line end after each of thousands of small files costs a call of its
    // own unless it joins the bytes gathered before it.
    if (length <= SmallPiece) {
        char* area = nullptr;
        if (const int error = gatherArea(length, area))
            return error;
        std::memcpy(area, data, size_t(length));
        gathered(length);
        return 0;
    }
    if (const int error = prepareDirectWrite())
        return error;
    if (const int error = writeOut(data, length, pos))
        return error;
    advance(length);
    return 0;
}

int OutputWriter::gatherArea(int64_t length, char*& area)
{
    if (length > GatherBufferSize)
        return EINVAL;
    // What is held must lie just before the new bytes, and leave them room.
    if (held > 0 && (heldAt + held != pos || held + length > GatherBufferSize)) {
        if (const int error = flush())
            return error;
    }
    if (!buffer)
        buffer = std::make_unique_for_overwrite<char[]>(size_t(GatherBufferSize));
    if (held == 0)
        heldAt = pos;
    // Counted as held now: the caller fills the room before the next call.
    held += length;
    area = buffer.get() + (held - length);
    return 0;
}

int OutputWriter::flush()
{
    if (held == 0)
        return 0;
    const int64_t length = held;
    held = 0;
    const int error = writeOut(buffer.get(), length, heldAt);
    if (error == 0)
        pace();
    return error;
}

int OutputWriter::prepareDirectWrite()
{
    if (const int error = flush())
        return error;
    return holes ? 0 : fillZeros(pos);
}

void OutputWriter::advance(int64_t length)
{
    pos += length;
    end = std::max(end, pos);
    pace();
}

bool OutputWriter::fallBackToZeros(int error, int64_t at)
{
    if (error != EPERM || !holes || at <= end)
        return false;
    holes = false;
    return fillZeros(at) == 0;
}

int OutputWriter::writeOut(const char* data, int64_t length, int64_t at)
{
    if (at > end && !holes) {
        if (const int error = fillZeros(at))
            return error;
    }
    // A file system that cannot leave holes refuses the first write past
    // one, before writing anything: once the hole is filled, it goes again.
    int error = writeAll(fd, data, length, at);
    if (error && fallBackToZeros(error, at))
        error = writeAll(fd, data, length, at);
    if (error)
        return error;
    end = std::max(end, at + length);
    return 0;
}

int OutputWriter::fillZeros(int64_t until)
{
    static const char zeros[ZeroBlock] = {};
    while (end < until) {
        const int64_t piece = std::min(until - end, ZeroBlock);
        if (const int error = writeAll(fd, zeros, piece, end))
            return error;
        end += piece;
    }
    return 0;
}

void OutputWriter::pace()
{
    const int64_t written = std::min(end, pos);
    if (!writeback || written - writebackFrom < WritebackStep)
        return;
    (void)sync_file_range(fd, writebackFrom, written - writebackFrom, SYNC_FILE_RANGE_WRITE);
    writebackFrom = written;
}

int OutputWriter::finish()
{
    if (const int error = flush())
        return error;
    if (end >= pos)
        return 0;
    // The content ends in a hole: the file still has to reach its length.
    if (holes && ftruncate(fd, pos) == 0)
        return 0;
    if (holes && errno != EPERM)
        return errno;
    holes = false;
    return fillZeros(pos);
}

}  // namespace quibex
