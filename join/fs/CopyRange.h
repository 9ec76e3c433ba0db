// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/StepWatch.h"

#include <cstdint>

namespace quibex {

// The errors by which copy_file_range says it cannot copy between these two
// files at all (another file system, one that does not offer it), as
// opposed to a read or a write that failed.
bool kernelCannotCopy(int error);

// Copies length bytes of the file open as from, starting at fromOffset,
// into the file open as to at toOffset: inside the kernel where it can
// (which shares blocks where the file system can), through memory where it
// cannot. Between steps of DisplayChunk bytes it tells the watch how far it
// got and stops when asked (CopyStopped). Returns 0 or the errno;
// InputEndedEarly when from ends before the range does.
[[nodiscard]] int copyRange(int from, int64_t fromOffset, int to, int64_t toOffset, int64_t length,
                            const StepWatch& watch = {});

}  // namespace quibex
