// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quibex {

// A joined file holds at most 2 GiB less one byte.
inline constexpr int64_t LargestTotal = 2147483647;

// Each input is shown and copied in steps of this many bytes: the file
// display moves once per step.
inline constexpr int64_t DisplayChunk = 2097152;

// The one buffer of the join: small pieces of output are gathered in it and
// written together, and bytes pass through it where the kernel cannot copy
// between the two files.
inline constexpr int64_t GatherBufferSize = 2097152;

// Pieces of an input up to this long are read into the gather buffer
// rather than copied by the kernel: for thousands of small files one write
// for many costs less than one kernel copy each.
inline constexpr int64_t SmallPiece = 65536;

// The most bytes one kernel copy call is asked to move.
inline constexpr int64_t KernelCopySpan = 1 << 30;

// When a file is replaced, the kernel is asked to start writing the new
// content to disk after every this many bytes, so that the flush before the
// rename has only the tail left to wait for.
inline constexpr int64_t WritebackStep = 8 << 20;

}  // namespace quibex
