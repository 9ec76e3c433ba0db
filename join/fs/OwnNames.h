// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

namespace quibex {

// The hidden names this program gives the files it makes beside a target:
// a temporary file holding the new content, a backup holding the old
// content while the new one is written into the old file, and a note of a
// new name being tried (ProbeNote).
//
// A name says who made the file: the machine, the boot, the process (its
// number and its start time). A leftover is provably this program's own and
// provably abandoned only when its name parses exactly, it was made on this
// machine, and the process that made it is gone: a file that merely looks
// alike, or one made by a client on another machine sharing the folder
// (where locks are not shared), is never taken for a leftover.
//
//   .quibex-<machine>-<boot>-<pid>-<start>-<random>.tmp
//   .quibex-<machine>-<boot>-<pid>-<start>-<random>.old
//   .quibex-<machine>-<boot>-<pid>-<start>-<random>.new
enum class OwnFile { Temporary, Backup, ProbeNote };

// A fresh name for a file of this process.
QByteArray ownName(OwnFile kind);
// The backup's name for the same file: the temporary it was written as,
// with its last part changed once it is complete.
QByteArray completedBackupName(const QByteArray& temporary);

// What a name says about the file it names, when it is one of ours.
struct OwnNameParts {
    OwnFile kind = OwnFile::Temporary;
    bool madeHere = false;     // on this machine
    bool makerIsGone = false;  // made here by a process that has ended
};
std::optional<OwnNameParts> parseOwnName(const char* name);

}  // namespace quibex
