// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/EndingGuard.h"

#include <cstdint>

namespace quibex {

// Run once at start-up, before any join: the program's own decision, not
// the file-system core's.
//
// SIGXFSZ is ignored: a write past the file-size limit (ulimit -f) then
// fails with EFBIG like any other write, and the join reports it, instead
// of the program dying without a word.
//
// SIGTERM, SIGINT and SIGHUP (those not already ignored) get a handler that
// removes the named temporary file of a running join, if there is one,
// before the program ends as the signal asks. The program's exit does the
// same: Qt calls exit() when the display connection is lost, even while a
// message box waits.
void setUpProcessSignals();

// How this program keeps the core's promises when asked to end: a named
// temporary is removed by the ending signal's handler and by the exit;
// while the core holds the ending (writing into an old file, which must
// hold its old or its new content whole), an ending signal is noted instead
// and acted on once released, and the exit waits for the held work for as
// long as it moves on.
class ProcessSignals : public EndingGuard {
public:
    void named(int folder, const char* name) override;
    void unnamed() override;
    void hold() override;
    void release() override;
    bool endingAsked() const override;
    void progressed() override;

    // Held work is under way and has moved on since seen, which is updated:
    // a window being closed waits for it while it does.
    bool heldWorkGoesOn(uint64_t& seen) const;
};

// The process has one.
ProcessSignals& processSignals();

}  // namespace quibex
