// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

// A check box: 0 unticked, 1 ticked (2, greyed, is possible and counts as unticked).
// The widget showing it writes the user's ticks here.
class CheckBox {
public:
    int value() const { return state; }
    void setValue(int value) { state = value; }

private:
    int state = 0;
};

}  // namespace quibex
