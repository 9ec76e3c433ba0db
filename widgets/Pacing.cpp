// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Pacing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

namespace quibex {

namespace {

constexpr qint64 FrameNanoseconds = 16'000'000;

QElapsedTimer& clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

qint64 lastPaint = -FrameNanoseconds;
long paints = 0;

}  // namespace

void repaintNow(QWidget* widget)
{
    widget->repaint();
    lastPaint = clock().nsecsElapsed();
    ++paints;
}

long synchronousRepaints()
{
    return paints;
}

static bool frameDue()
{
    return clock().nsecsElapsed() - lastPaint >= FrameNanoseconds;
}

void refreshWindowPaced(QWidget* window)
{
    if (!frameDue())
        return;  // what changed has asked for its update; the event loop or the next frame paints
                 // it
    // The controls mark what they changed; the window's pending update
    // request paints exactly that, now, before the command goes on.
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
    lastPaint = clock().nsecsElapsed();
    ++paints;
}

void repaintIfDue(QWidget* widget)
{
    if (frameDue())
        repaintNow(widget);
}

void repaintPaced(QWidget* widget)
{
    if (frameDue())
        repaintNow(widget);
    else
        widget->update();
}

}  // namespace quibex
