// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace quibex {

class Surface;
class TextBox;

// Work that may wait on a volume for as long as the volume takes (a join)
// runs on a thread of its own, while the window's thread goes on answering:
// paints, the window manager's pings, assistive tools, a close request.
// Clicks and keys that reach the program meanwhile are dropped, so no
// command starts while the work runs, and none starts after it either.
//
// Returns once the work has returned and every display step it handed over
// has been shown. Without an application, off the window's thread, or
// inside another run, the work runs here, as a plain call.
void runOffWindowThread(const std::function<void()>& work);

// True while work runs away from the window's thread.
bool offWindowThreadRunning();

// Sets a display's text, then repaints it and the window, in that order.
// Called by the work, the step is handed to the window's thread without
// waiting: steps are shown in the order they were handed over, and at
// most once a frame, so a join of thousands of small files does not wait
// on the screen. Called on the window's thread, it is done at once.
void showOnWindowThread(TextBox& box, Surface& window, const QString& text);

// Asks the running work to stop at its next chance. Cleared when a run starts.
void requestStop();
bool stopRequested();

// Tests and benchmarks stand in for a slow medium here: called on the
// work's thread after each display step is handed over, before the work
// goes on to the copy that step announces.
using DisplayStepHook = std::function<void(const TextBox& box, const QString& text)>;
void setDisplayStepHook(DisplayStepHook hook);

}  // namespace quibex
