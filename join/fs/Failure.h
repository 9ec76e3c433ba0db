// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>

namespace quibex {

// Why a join stopped: the step that failed and the system's own reason for
// it (the errno of the call that failed). The pieces of the engine return
// the errno, 0 for success, and only the join picks the message from both.
struct Failure {
    enum class Step {
        Target,    // the output name, checked before anything is asked or copied
        Inputs,    // measuring the selected files
        Copying,   // opening or reading an input, writing or flushing the output
        Placing,   // putting the finished file under its name
        TooLarge,  // the total passes the limit; no call failed
        Stopped,   // the user stopped the join (Escape, or the window closing)
    };
    Step step;
    int error = 0;
};

// The errno given for an input that ends before the length measured first:
// it shrank while the join ran.
inline constexpr int InputEndedEarly = ENODATA;

// The errno given for an input that is no longer the file measured first:
// another file was put under its name while the join ran.
inline constexpr int InputReplaced = ESTALE;

// What a step of the join returns when the user stopped it meanwhile.
inline constexpr int CopyStopped = ECANCELED;

}  // namespace quibex
