// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace quibex {

// The hidden names the join gives its temporary files.
QByteArray temporaryNameCandidate();
bool isTemporaryName(const char* name);

// Marks an open temporary file as in use for as long as this process keeps
// it open (an exclusive lock on the open file, which the kernel drops when
// the program ends in any way). Waits for a sweep that is looking at it.
// 0 or the errno.
[[nodiscard]] int holdTemporary(int fd);

// Removes, from the folder open as folder, the temporary files of this
// program that no running join holds: what a join killed on the way left.
// A folder that may not be listed, or a file that may not be removed, is
// left as it is.
void removeStaleTemporaries(int folder);

}  // namespace quibex
