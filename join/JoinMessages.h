// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/Failure.h"
#include "join/JoinOutcome.h"

#include <QString>

namespace quibex {

struct fmenu;
class TextBox;

// The title of every message of the join.
QString joinTitle();

// Sets a display's text and repaints it and the window.
void show(TextBox& box, fmenu& form, const QString& text);

// Tells the user about a refused output name and puts the focus back in
// the name field.
void refuseName(fmenu& form, const QString& text);

// The one place where a failed join picks its message, from the step that
// failed and the system's reason, and puts the window in the state that
// message leaves it in. Returns the outcome the message told the user.
JoinOutcome reportFailure(fmenu& form, const Failure& failure);

}  // namespace quibex
