// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

// What a press of "Créer" or "Quitter" came to, beside the messages the
// user saw: a test or another caller tells the outcome from this without
// reading a message box.
struct JoinOutcome {
    enum class Kind {
        Created,          // the joined file stands under its name
        NothingSelected,  // an empty selection: nothing done, nothing shown
        NotNamed,         // the name box still holds the proposed name
        NameInSelection,  // the output would be one of the selected files
        BadName,          // the system refuses a file under that name
        Declined,         // the user kept the existing file
        TooLarge,         // the selected files pass the size limit together
        ReadError,        // an input could not be read or the output written
        Stopped,          // stopped by the user (Escape, or the window closing): nothing changed
        Quit,             // "Quitter": the program ends
        NoSuchButton,     // an index no button has
    };
    Kind kind;
    int error = 0;  // the system's reason (an errno) for BadName and ReadError, when one was given

    bool operator==(const JoinOutcome&) const = default;
};

}  // namespace quibex
