#pragma once

#include <QIcon>

namespace quibex {

// The window's icon: the 32 × 32 and 16 × 16 images drawn for it
// (packaging/icons/draw_icons.py makes them).
QIcon programIcon();

}  // namespace quibex
