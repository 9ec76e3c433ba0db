// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

// Tells assistive tools what the program's own widgets are: the window is a
// window (a plain QWidget would be announced as an anonymous filler) and each
// progress display is a progress bar whose value is its percentage. Safe to
// call more than once.
void installAccessibility();

}  // namespace quibex
