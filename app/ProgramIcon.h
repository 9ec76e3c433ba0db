// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace quibex {

// The window's icon: the images built into the program, one for each size
// drawn, from 16 to 64 pixels (packaging/icons/draw_icons.py draws them).
QIcon programIcon();

}  // namespace quibex
