// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/EndingGuard.h"
#include "join/fs/StepWatch.h"
#include "join/fs/TargetCheck.h"
#include "join/fs/UniqueFd.h"

#include <QByteArray>

namespace quibex {

// How the new content came under the target's name.
enum class Placed {
    Renamed,         // the temporary file took the name, in one step
    WrittenIntoOld,  // the content went into the old file, its old content kept aside meanwhile
};

// The new content of the target, in a temporary file of the same folder,
// until it is complete. Nothing appears under the target's name, and a
// file already there is neither truncated nor deleted, before place().
//
// The temporary file is unnamed where the file system allows it, so that
// a killed program leaves nothing; elsewhere it gets a hidden name, which
// the program removes should it end (the EndingGuard), and which a
// later join into the folder removes when a join killed on the way left it
// (clearLeftovers).
class AtomicFile {
public:
    // The guard hears of the temporary's hidden name, and holds the
    // program's ending while an old file is written into.
    explicit AtomicFile(EndingGuard& endingGuard = noEndingGuard()) : guard(endingGuard) { }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() { discard(); }

    // Makes the empty temporary file next to the target. 0 or the errno.
    // allowUnnamed false always names it, as on file systems without
    // unnamed files. Made only once the user agreed: nothing is left
    // behind while a question waits.
    [[nodiscard]] int create(Target target, bool allowUnnamed = true);

    int handle() const { return fd.get(); }
    bool isUnnamed() const { return temporaryName.isEmpty(); }
    // A file stands under the target's name and is to be replaced.
    bool replaces() const { return target.exists; }

    // For a replaced file: flushes the new content to disk, so that a crash
    // after the rename finds it there. A new file is not flushed: no old
    // data is at stake, as for cat or cp.
    [[nodiscard]] int makeDurable();
    // Gives the new file the replaced file's owner, group, permissions and
    // extended attributes as far as allowed, puts it under the target's
    // name in one step, and for a replaced file flushes the folder so the
    // new name lasts. Returns 0 or the errno of the step that failed.
    //
    // A file that came under the name while the join ran, or an empty one
    // that was given data, is not replaced: place() returns EEXIST, and
    // after the user agreed, replaceWhatIsThere() puts the file in place
    // over it.
    //
    // Where the new file could not keep both the owner and the group of
    // the old one, the content is written into the old file instead, its
    // old content kept aside meanwhile (writeInPlace): how says which way
    // it went. The watch hears of that copy and may stop it.
    [[nodiscard]] int place(Placed& how, const StepWatch& watch = {});
    [[nodiscard]] int replaceWhatIsThere(Placed& how, const StepWatch& watch = {});
    // Forgets the content; the target's name is left as it was.
    void discard();

private:
    [[nodiscard]] int createNamed();
    int openArmed(const QByteArray& name);
    [[nodiscard]] int linkArmed(const QByteArray& name);
    [[nodiscard]] int linkInto(const QByteArray& name);
    [[nodiscard]] int replaceFromUnnamed();
    [[nodiscard]] int keepOldAttributes(bool& kept);
    [[nodiscard]] int writeIntoOld(const StepWatch& watch);
    [[nodiscard]] int renameIntoPlace();
    [[nodiscard]] int putInPlace();
    [[nodiscard]] int placeNew();
    bool dataCameMeanwhile() const;

    EndingGuard& guard;
    Target target;
    UniqueFd fd;
    QByteArray temporaryName;
    bool agreed = false;  // the user agreed to replace what stands there
};

}  // namespace quibex
