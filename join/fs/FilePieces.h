// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>

namespace quibex {

// The pieces every part of the file-system core reads and writes with,
// written once.

// Writes all length bytes at offset at, however many calls it takes.
// Returns 0 or the errno of the call that failed (EIO for a write of nothing).
[[nodiscard]] int writeAll(int fd, const char* data, int64_t length, int64_t at);

// Reads exactly length bytes from offset at. Returns 0, the errno of the
// call that failed, or InputEndedEarly when the file ends before.
[[nodiscard]] int readAll(int fd, char* data, int64_t length, int64_t at);

// The path that names an open file through its descriptor, whatever became
// of its name meanwhile: what calls that take only paths are given.
QByteArray descriptorPath(int fd);

}  // namespace quibex
