// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/TextBox.h"

#include <QTimer>
#include <QWidget>

namespace quibex {

// A display-only text box for a progress text: the leading figures are
// drawn as text and every character of code 127 that follows as one solid
// segment, so a full bar of 140 of them spans the box. The text itself stays
// as the join wrote it, in the box; the display keeps the last text it heard.
class GaugeDisplay : public QWidget {
    Q_OBJECT
public:
    explicit GaugeDisplay(TextBox& box, QWidget* parent = nullptr);

    static constexpr int FullBar = 140;

    // The percentage the display shows, -1 when it shows none.
    int percent() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showText(const QString& text);
    void repaintRequested();
    void announceValue();

    // A screen reader asks back for every value it hears of: told at most
    // this often, it keeps up, and it hears the last value too.
    static constexpr int AnnounceMilliseconds = 250;

    QString received;  // the last text heard of, painted or about to be
    bool paintPending = false;
    int announced = -1;    // the value assistive tools last heard of, -1 for none since empty
    QTimer announceQuiet;  // running: the next value waits for it
};

}  // namespace quibex
