// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

namespace quibex {

// The text of a progress display for a out of b (1 <= a <= b): the percentage
// rounded down, "% ", then a bar of code-127 characters, 140 of them at 100 %.
QString progressText(int64_t a, int64_t b);

}  // namespace quibex
