// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace quibex {

// A new name is tried by making an empty file under it and removing it at
// once (TargetCheck): some file systems refuse names only then. Should the
// program be killed in between, that empty file would stand under the
// user's name. The name is noted first, beside it, under a name of this
// program's own (OwnNames), and the note goes once the try is over: a note
// left by a process that has ended tells the next join into the folder
// which empty file to remove (removeAbandonedProbe).
class ProbeNote {
public:
    ProbeNote() = default;
    ProbeNote(const ProbeNote&) = delete;
    ProbeNote& operator=(const ProbeNote&) = delete;
    ~ProbeNote();

    // Notes name, in the folder open as folder. 0 or the errno.
    [[nodiscard]] int write(int folder, const QByteArray& name);

private:
    int folder = -1;
    QByteArray noteName;
};

// Removes what a try that was ended half way left in the folder: the empty
// file of this user under the noted name, then the note. 0 or the errno.
int removeAbandonedProbe(int folder, const char* noteName);

}  // namespace quibex
