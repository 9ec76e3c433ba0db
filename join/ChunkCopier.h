#pragma once

#include <cstdint>
#include <memory>

namespace quibex {

class InputFile;
class OutputFile;

// Copies byte ranges of an input to the end of the output. Each range is
// copied inside the kernel (copy_file_range, which also shares blocks where
// the file system can), so no byte passes through the program. Where the
// kernel cannot copy between the two files, the copier falls back for good
// to reading and writing through one buffer of a chunk's size, allocated
// only then. Holes of a sparse input are not written, only skipped, so the
// output is sparse in the same places.
//
// A small range is read instead, into the output's memory, and written with
// the ranges around it: for thousands of small files, one call per file
// less and one write for many files cost less than copying each in the
// kernel.
class ChunkCopier {
public:
    static constexpr int64_t ChunkSize = 2097152;
    // Ranges up to this long are read and gathered rather than copied.
    static constexpr int64_t GatheredRange = 65536;

    // kernelCopy false reads and writes through the buffer from the start,
    // as happens anyway when the kernel cannot copy between the two files.
    explicit ChunkCopier(bool kernelCopy = true);
    ~ChunkCopier();
    ChunkCopier(const ChunkCopier&) = delete;
    ChunkCopier& operator=(const ChunkCopier&) = delete;

    // Copies exactly length bytes of the input from offset. False on a
    // failed read or write, and when the input ends before the range does
    // (it shrank since it was opened).
    bool copy(const InputFile& input, int64_t offset, int64_t length, OutputFile& output);

    bool usesKernelCopy() const { return inKernel; }

private:
    bool copyData(int input, int64_t from, int64_t to, OutputFile& output);
    bool copyThroughBuffer(int input, int64_t from, int64_t to, OutputFile& output);
    bool gather(int input, int64_t from, int64_t to, OutputFile& output);

    bool inKernel = true;
    std::unique_ptr<char[]> buffer;
};

}  // namespace quibex
