// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>

namespace quibex {

// What the user does with the mouse, the keyboard, a pen or a finger, and
// drags dropped on the window: what a wait, or a question, keeps from the
// window's controls.
bool isUserInput(QEvent::Type type);

}  // namespace quibex
