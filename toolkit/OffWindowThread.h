// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QObject;

#include <chrono>
#include <functional>
#include <optional>
#include <type_traits>

namespace quibex {

class Surface;
class TextBox;

// Work that may wait on a volume for as long as the volume takes (a join's
// steps) runs on a thread of its own, while the window's thread goes on
// answering: paints, the window manager's pings, assistive tools, a close
// request. Clicks and keys that reach the program meanwhile are dropped, so
// no command starts while the work runs, and none starts after it either.
//
// Returns once the work has returned and every display step it handed over
// has been shown. Without an application, off the window's thread, or
// inside another wait, the work runs here, as a plain call.
void runOffWindowThread(const std::function<void()>& work);

// The same, handing back what the work returned.
template <typename Work>
auto offWindowThread(Work work) -> std::invoke_result_t<Work&>
{
    std::optional<std::invoke_result_t<Work&>> result;
    runOffWindowThread([&] { result.emplace(work()); });
    return std::move(*result);
}

// Whether the window's thread can wait answering here: an application,
// its thread, and no other wait under way.
bool canWaitAnswering();

// Waits on the window's thread, answering as above, until finished() is
// true or bound (when given) has passed; returns finished(). Whoever makes
// finished() true from another thread calls wakeWindowThread() then.
bool waitAnswering(const std::function<bool()>& finished,
                   std::optional<std::chrono::milliseconds> bound);
void wakeWindowThread();

// While the window's thread waits, the user's input is dropped; the watcher
// (the window) sees it first and may act on it, as on the key that stops a
// join. A watcher that goes says so, and is forgotten if it is still the one.
void setInputWatcher(QObject* watcher);
void forgetInputWatcher(QObject* watcher);

// True while the window's thread waits for work done away from it.
bool offWindowThreadRunning();

// Sets a display's text, then repaints it and the window, in that order.
// Called by the work, the step is handed to the window's thread without
// waiting: steps are shown in the order they were handed over, and at
// most once a frame, so a join of thousands of small files does not wait
// on the screen. Called on the window's thread, it is done at once.
void showOnWindowThread(TextBox& box, Surface& window, const QString& text);

// Asks the running work to stop at its next chance: a close request. It
// stays asked until cleared, which a join does as it starts.
void requestStop();
void clearStopRequest();
bool stopRequested();

// Tests and benchmarks stand in for a slow medium here: called on the
// work's thread after each display step is handed over, before the work
// goes on to the copy that step announces.
using DisplayStepHook = std::function<void(const TextBox& box, const QString& text)>;
void setDisplayStepHook(DisplayStepHook hook);

}  // namespace quibex
