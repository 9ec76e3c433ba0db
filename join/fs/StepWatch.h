// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace quibex {

// What a long piece of work of the file-system core tells and asks between
// its steps: how far it got, and whether it should stop. The core never
// sees the window; whoever runs the work decides what both mean.
struct StepWatch {
    std::function<void(int64_t done, int64_t total)> step;
    std::function<bool()> stopped;

    void progress(int64_t done, int64_t total) const
    {
        if (step)
            step(done, total);
    }
    bool stop() const { return stopped && stopped(); }
};

}  // namespace quibex
