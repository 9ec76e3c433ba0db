// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace quibex {

// Run once at start-up, before any join.
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

// While armed, the handler above removes the file name in the folder open
// as folder. The name must be short (a temporary file's hidden name).
void armTemporaryCleanup(int folder, const char* name);
void disarmTemporaryCleanup();

// While one lives (on any thread), an ending signal does not end the
// program at once: it is noted, endingSignalNoted() turns true, and the
// work under way (writing into an old file, which must hold its old or its
// new content whole) puts things back and stops. When the last one goes, a
// noted signal ends the program as it would have. The program's exit waits
// for them as well, for as long as their work goes on (heldWorkProgressed).
class EndingSignalsHeld {
public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;
};
bool endingSignalNoted();

// Work done while ending signals are held tells that it goes on, at each
// step of a copy: whoever would end the program meanwhile (its exit, a
// window being closed) waits for it while it does, and no longer once a
// volume holds it still.
void heldWorkProgressed();
// Held work is under way and has moved on since seen, which is updated.
bool heldWorkGoesOn(uint64_t& seen);

}  // namespace quibex
