#pragma once

#include <functional>

namespace quibex {

// The window as the commands see it: something to repaint at once, and a
// program to end. A form that is never shown repaints nothing.
class Surface {
public:
    void refresh() const
    {
        ++repaints;
        if (repaint)
            repaint();
    }
    void end()
    {
        ended = true;
        if (quit)
            quit();
    }

    bool hasEnded() const { return ended; }
    int repaintCount() const { return repaints; }

    std::function<void()> repaint;
    std::function<void()> quit;

private:
    mutable int repaints = 0;
    bool ended = false;
};

}  // namespace quibex
