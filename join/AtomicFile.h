// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/TargetCheck.h"
#include "join/UniqueFd.h"

#include <QByteArray>

namespace quibex {

// The new content of the target, in a temporary file of the same folder,
// until it is complete. Nothing appears under the target's name, and a
// file already there is neither truncated nor deleted, before place().
//
// The temporary file is unnamed where the file system allows it, so that
// a killed program leaves nothing; elsewhere it gets a hidden name, which
// the ending signals' handler removes.
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() { discard(); }

    // Makes the empty temporary file next to the target. 0 or the errno.
    // allowUnnamed false always names it, as on file systems without
    // unnamed files.
    int create(Target target, bool allowUnnamed = true);

    int handle() const { return fd.get(); }
    bool isUnnamed() const { return temporaryName.isEmpty(); }
    // A file stands under the target's name and is to be replaced.
    bool replaces() const { return target.exists; }

    // For a replaced file: flushes the new content to disk, so that a crash
    // after the rename finds it there. A new file is not flushed: no old
    // data is at stake, as for cat or cp.
    int makeDurable();
    // Gives the new file the replaced file's owner, group, permissions and
    // extended attributes as far as allowed, puts it under the target's
    // name in one step, and for a replaced file flushes the folder so the
    // new name lasts. Returns 0 or the errno of the step that failed.
    int place();
    // Forgets the content; the target's name is left as it was.
    void discard();

private:
    int createNamed();
    int linkInto(const QByteArray& name);
    int replaceFromUnnamed();
    int keepOldAttributes();

    Target target;
    UniqueFd fd;
    QByteArray temporaryName;
};

}  // namespace quibex
