// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/AtomicFile.h"
#include "join/fs/Failure.h"
#include "join/fs/Inputs.h"
#include "join/fs/TargetCheck.h"
#include "toolkit/FolderReader.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace quibex {

// Everything a join needs, as values taken from the window before it starts:
// the join never reads the form, so nothing the user does meanwhile changes it.
struct JoinRequest {
    std::vector<QByteArray> inputs;  // the selected files' paths, in order
    QByteArray lineEnd;              // written after each file: "", "\r", "\n" or "\r\n"
    QByteArray target;               // the path of the file to create
    QByteArray listedFolder;         // the file list's folder, read again after a success
};

// The join's one way back to the window while it runs: the texts of the two
// progress displays, handed over in order.
class JoinDisplays {
public:
    virtual ~JoinDisplays() = default;
    virtual void showFile(const QString& text) = 0;   // the current file (jauge)
    virtual void showTotal(const QString& text) = 0;  // the whole join (jauge2)
};

// The steps of a join that touch files, each run away from the window's
// thread, in this order: look(), then, once the user agreed where asked,
// copy(), place() (or replaceWhatIsThere() after a late question), and
// readListedFolder() after a success; discard() forgets the new content.
// Each step stops at its next chance once a stop is requested (a close
// request, an ending signal), leaving the target's name as it was.
class Joiner {
public:
    Joiner(JoinRequest request, JoinDisplays& displays);

    // Before anything is asked or made: the target is not one of the inputs
    // under another spelling, what leftovers of ended joins stand in its
    // folder are cleared, and its name may be written.
    struct Look {
        bool inSelection = false;
        std::optional<Failure> failure;
        bool hasData = false;  // a file with data stands there: the user is asked first
    };
    Look look();

    // The new content, complete and flushed where an old file is at stake,
    // under a temporary name beside the target.
    std::optional<Failure> copy();
    // Puts it under the target's name: 0, EEXIST when a file came there
    // meanwhile (ask the user, then replaceWhatIsThere()), or the errno.
    [[nodiscard]] int place();
    [[nodiscard]] int replaceWhatIsThere();
    void discard();

    // The file list's folder as it now stands, to show the new file.
    std::optional<FolderListing> readListedFolder() const;

private:
    std::optional<Failure> copyInputs();
    StepWatch placingWatch();

    JoinRequest request;
    JoinDisplays& displays;
    Target target;
    AtomicFile file;
    Inputs inputs;
};

}  // namespace quibex
