// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/EndingGuard.h"
#include "join/fs/StepWatch.h"

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
// The old content is kept aside first (Backup), in the same folder; a
// volume without room for that copy fails here, the old file untouched.
// Any failure or stop once writing has begun (a full volume, an I/O error,
// the watch asking to stop, the program asked to end, which the guard holds
// meanwhile) puts
// the old content back; a kill or a power loss leaves the backup, which the
// next join into the folder puts back. The watch hears of both copies,
// the backup's and the new content's, as one.
//
// Returns 0 or the errno; CopyStopped when asked to stop.
[[nodiscard]] int writeInPlace(int content, int folder, const QByteArray& name,
                               const struct stat& expected, const StepWatch& watch = {},
                               EndingGuard& guard = noEndingGuard());

}  // namespace quibex
