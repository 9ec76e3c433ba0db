// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

namespace quibex {

// Writes the joined content into an open file, front to back. Small pieces
// are gathered in one buffer and written together; holes are left unwritten
// so a sparse input stays sparse, except on file systems that cannot leave
// one (FAT), where the zeros are written instead.
//
// Every call returns 0 or the errno of the write that failed. Gathered
// bytes go out later, so a failure may show only at a later call or at
// finish().
class OutputWriter {
public:
    explicit OutputWriter(int output) : fd(output) { }
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    int handle() const { return fd; }
    // Where the next byte goes.
    int64_t position() const { return pos; }

    [[nodiscard]] int write(const char* data, int64_t length);
    // Leaves a hole: bytes that read as zeros.
    void skip(int64_t length) { pos += length; }

    // Room in the buffer for the next length bytes (at most
    // GatherBufferSize), to be filled by the caller and then counted with
    // gathered(length). Returns 0, or the errno when what was held before
    // could not be written.
    [[nodiscard]] int gatherArea(int64_t length, char*& area);
    void gathered(int64_t length) { pos += length; }

    // Before someone else writes at position() through the descriptor (a
    // kernel copy): what is held goes out, and a hole before position() is
    // filled where the file system cannot leave one.
    [[nodiscard]] int prepareDirectWrite();
    // Counts bytes written at position() by someone else.
    void advance(int64_t length);
    // A write at offset at, past the bytes written so far, failed with
    // this error: true when that is because the file system cannot leave
    // holes (EPERM), which are from now on written as zeros, the one before
    // at included, so the write can be tried again.
    bool fallBackToZeros(int error, int64_t at);

    // Asks the kernel, every WritebackStep bytes, to start writing them to
    // disk: for a file that will be flushed before it is put in place.
    void startWritebackEarly() { writeback = true; }

    // Writes what is held and gives the file its full length, holes at
    // the end included.
    [[nodiscard]] int finish();

    // Writes what is held now, rather than with the next bytes.
    [[nodiscard]] int flush();

private:
    [[nodiscard]] int writeOut(const char* data, int64_t length, int64_t at);
    [[nodiscard]] int fillZeros(int64_t until);
    void pace();

    int fd;
    int64_t pos = 0;
    int64_t end = 0;  // bytes before it have been written: no hole lies there
    bool holes = true;
    bool writeback = false;
    int64_t writebackFrom = 0;
    std::unique_ptr<char[]> buffer;
    int64_t heldAt = 0;
    int64_t held = 0;
};

}  // namespace quibex
