// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <sys/stat.h>

namespace quibex {

// Writes the whole content of the open file content into the existing file
// name of the folder open as folder, from its first byte, and cuts it to
// that length: the file keeps its owner, group, permissions and ACL, as
// with cp. Used only once the content is complete, so that no input that
// fails to read can touch the old file. expected is the file checked
// before: another file found under the name is not written (EBUSY).
//
// Returns 0 or the errno. Room for the new content is reserved first, so a
// volume too full for it leaves the old file as it was; a failure part way
// through the writing itself (an I/O error) leaves the old file with the
// new bytes written so far in front of its own remaining bytes.
[[nodiscard]] int writeInPlace(int content, int folder, const QByteArray& name,
                               const struct stat& expected);

}  // namespace quibex
