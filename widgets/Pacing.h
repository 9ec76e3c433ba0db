// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace quibex {

// A command asks for a repaint at every step it wants seen; a screen shows
// about sixty frames a second, so painting more often than that only slows
// the command. A repaint asked for sooner than one frame after the last
// synchronous one is scheduled instead, and the event loop (or the next
// message box) paints it.
void repaintPaced(QWidget* widget);

// For a widget that has already asked for its update: paints it at once
// when a frame is due, and otherwise leaves the update to the event loop or
// the next frame (asking again would only cost time).
void repaintIfDue(QWidget* widget);

// Brings the whole window up to date, paced like repaintPaced. Only what
// has changed since the last paint is drawn: the rest already shows what it
// holds, and drawing every list again would cost a long join dearly.
void refreshWindowPaced(QWidget* window);

// Paints at once, whatever the time since the last paint.
void repaintNow(QWidget* widget);

// How many synchronous repaints have been made: benchmarks show it.
long synchronousRepaints();

}  // namespace quibex
