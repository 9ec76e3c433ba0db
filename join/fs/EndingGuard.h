// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

// How the program keeps the file-system core's promises should it be asked
// to end (an ending signal, its exit) while the core works. The core tells
// what it has made and when it must not be cut short; what is done about it
// is the program's own choice (toolkit/ProcessSignals). Used alone, the
// core is given the guard that does nothing: it touches no state of the
// process.
class EndingGuard {
public:
    virtual ~EndingGuard() = default;

    // A temporary file bears this hidden name in the folder open as folder
    // (the name is short): should the program end, the name is removed.
    virtual void named(int folder, const char* name) { (void)folder, (void)name; }
    virtual void unnamed() { }

    // Between hold() and release(), which nest and may come from any
    // thread, the program does not end at once: it notes the request
    // (endingAsked()), the work puts things back and stops, and the
    // program ends once released. Work under way tells it goes on
    // (progressed()), at each step of a copy.
    virtual void hold() { }
    virtual void release() { }
    virtual bool endingAsked() const { return false; }
    virtual void progressed() { }
};

// The guard that does nothing, for the core used alone.
EndingGuard& noEndingGuard();

// Holds the program's ending for as long as it lives.
class EndingHeld {
public:
    explicit EndingHeld(EndingGuard& heldGuard) : guard(heldGuard) { guard.hold(); }
    ~EndingHeld() { guard.release(); }
    EndingHeld(const EndingHeld&) = delete;
    EndingHeld& operator=(const EndingHeld&) = delete;

private:
    EndingGuard& guard;
};

}  // namespace quibex
