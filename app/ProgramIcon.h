// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace quibex {

// The window's icon: the theme's "quibex" icon where the program is
// installed, otherwise the 32 × 32 and 16 × 16 images built into it
// (packaging/icons/draw_icons.py draws them).
QIcon programIcon();

}  // namespace quibex
