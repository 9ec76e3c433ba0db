// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/StepWatch.h"

#include <QByteArray>

namespace quibex {

// The old content of a file that is about to be written into, kept aside
// in the same folder until the new content is whole: the way a text editor
// keeps a copy of the original until its overwrite succeeded, or a database
// its rollback journal.
//
// The backup is made under a temporary name and takes its own name only
// once complete and flushed, with the folder flushed after it: from then
// on, whatever ends the program (a signal, a kill, a power loss), the old
// content can be put back from it. The next join into the folder puts back
// a backup that an ended process left (restoreAbandonedBackup), so the file
// holds its old content or its new content, whole.
//
// The backup holds the old bytes followed by what it was made for: the
// file's name in the folder, its device and inode, and its length. Only
// this user can read it, whatever the old file allowed.
class Backup {
public:
    Backup() = default;
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;
    ~Backup();

    // Keeps aside the content of the open file target, named name in the
    // folder open as folder. Shares the blocks where the file system can,
    // copies them otherwise. Returns 0, or the errno (ENOSPC, EDQUOT where
    // there is no room for the copy); nothing is left behind then.
    [[nodiscard]] int make(int folder, const QByteArray& name, int target,
                           const StepWatch& watch = {});
    // Puts the old content back into target, then removes the backup; the
    // watch hears how far it got (it cannot stop this). Returns 0 or the
    // errno; on failure the backup stays, for the next join into the folder
    // to put back.
    [[nodiscard]] int putBack(int target, const StepWatch& watch = {});
    // The new content is whole and flushed: the backup is no longer needed.
    void remove();

    bool isMade() const { return !name.isEmpty(); }

private:
    int folder = -1;
    QByteArray name;
    int64_t oldLength = 0;
};

// Puts back the content of a backup left by a process that ended before it
// could, into the file it was made for, and removes it. A backup whose file
// is no longer under its name is left alone: its content may be all that is
// left of that file. Returns 0 or the errno.
[[nodiscard]] int restoreAbandonedBackup(int folder, const char* backupName);

}  // namespace quibex
