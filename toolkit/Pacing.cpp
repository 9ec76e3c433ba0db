#include "toolkit/Pacing.h"

#include <QElapsedTimer>
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

void repaintPaced(QWidget* widget)
{
    if (clock().nsecsElapsed() - lastPaint >= FrameNanoseconds)
        repaintNow(widget);
    else
        widget->update();
}

}  // namespace quibex
