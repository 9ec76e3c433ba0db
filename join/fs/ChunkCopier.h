// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quibex {

class InputFile;
class OutputWriter;

// Copies byte ranges of an input to the end of the output. A range is
// copied inside the kernel (copy_file_range, which also shares blocks where
// the file system can), so no byte passes through the program; where the
// kernel cannot copy between the two files, the copier falls back for good
// to reading into the output's gather buffer. Small ranges are read into
// that buffer anyway, to be written together with the ranges around them.
// Holes of a sparse input are skipped, so the output is sparse in the same
// places.
class ChunkCopier {
public:
    // kernelCopy false reads and writes through the buffer from the start,
    // as happens anyway when the kernel cannot copy between the two files.
    explicit ChunkCopier(bool kernelCopy = true) : inKernel(kernelCopy) { }

    // Copies exactly length bytes of the input from offset. Returns 0, or
    // the errno of the read or write that failed, or InputEndedEarly when
    // the input ends before the range does (it shrank since it was opened).
    [[nodiscard]] int copy(const InputFile& input, int64_t offset, int64_t length,
                           OutputWriter& output);

    bool usesKernelCopy() const { return inKernel; }

private:
    [[nodiscard]] int copyData(int input, int64_t from, int64_t to, OutputWriter& output);
    [[nodiscard]] int copyInKernel(int input, int64_t& from, int64_t to, OutputWriter& output);
    [[nodiscard]] int readInto(int input, int64_t from, int64_t to, OutputWriter& output);

    bool inKernel = true;
};

}  // namespace quibex
