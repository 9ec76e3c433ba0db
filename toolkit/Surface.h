// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace quibex {

// The window as the commands see it: something to repaint at once, and a
// program to end. A form that is never shown repaints nothing.
class Surface : public QObject {
    Q_OBJECT
public:
    void refresh() { emit repaintRequested(); }
    void end() { emit endRequested(); }

signals:
    void repaintRequested();
    void endRequested();
};

}  // namespace quibex
