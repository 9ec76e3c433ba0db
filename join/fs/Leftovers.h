// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

// Marks an open temporary file as in use for as long as this process keeps
// it open (an exclusive lock on the open file, which the kernel drops when
// the program ends in any way). Waits for a sweep that is looking at it.
// 0 or the errno. The lock guards against another join of this machine
// where the file system shares locks; its name (OwnNames) guards where not.
[[nodiscard]] int holdTemporary(int fd);

// Clears the folder open as folder of what joins that ended on the way
// left there: their temporary files are removed, their backups put back
// into the files they were made for, and the empty file of a new name they
// were trying removed (ProbeNote). Only files provably this
// program's, made by this user on this machine by a process that is gone,
// are touched (OwnNames); a folder that may not be listed, or a file that
// may not be removed, is left as it is. Returns how many files got their
// old content back.
int clearLeftovers(int folder);

}  // namespace quibex
