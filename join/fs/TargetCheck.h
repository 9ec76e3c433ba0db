// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/EndingGuard.h"
#include "join/fs/UniqueFd.h"

#include <QByteArray>

#include <sys/stat.h>

namespace quibex {

// Where the joined file is to go: the folder, open, and the last part of
// the path, after any symbolic link standing there has been followed (the
// file a link points to is the one replaced; the link itself stays).
struct Target {
    UniqueFd folder;
    QByteArray name;
    bool exists = false;
    struct stat old { };  // the file standing there, when one does
    // That file is the empty one the check made to try the name, and could
    // not remove: a join that fails removes it.
    bool madeByProbe = false;

    bool hasData() const { return exists && old.st_size > 0; }
};

// Checks, before anything is asked or copied, that a new file may be put at
// path: a name the system takes, in a folder that exists and may be
// written, and where a file already stands, a regular file this user may
// both write and replace (not append-only or immutable, not someone else's
// in a sticky folder). Returns 0 and fills target, or the errno that tells
// why the name is refused.
// A new name is tried by making a file under it and removing it at once:
// the guard holds the program's ending meanwhile.
[[nodiscard]] int checkTarget(const QByteArray& path, Target& target,
                              EndingGuard& guard = noEndingGuard());

// The folder part of a path, as the system reads it.
QByteArray folderOf(const QByteArray& path);

}  // namespace quibex
