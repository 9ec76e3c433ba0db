// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/GaugeDisplay.h"

#include "widgets/Pacing.h"

#include <QAccessible>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace quibex {

namespace {

constexpr QChar BarCharacter(0x7f);

}  // namespace

GaugeDisplay::GaugeDisplay(TextBox& box, QWidget* parent) : QWidget(parent), received(box.text())
{
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
    connect(&box, &TextBox::textChanged, this, &GaugeDisplay::showText);
    connect(&box, &TextBox::repaintRequested, this, &GaugeDisplay::repaintRequested);
    announceQuiet.setSingleShot(true);
    announceQuiet.setInterval(AnnounceMilliseconds);
    connect(&announceQuiet, &QTimer::timeout, this, &GaugeDisplay::announceValue);
}

void GaugeDisplay::showText(const QString& text)
{
    // The join empties a display twice in a row between files: only a real
    // change is worth a paint.
    if (text == received)
        return;
    // A file's full bar is painted before the display is emptied, whenever
    // a frame is due: the user sees each file end, not only begin.
    if (paintPending && text.isEmpty() && percent() == 100)
        repaintIfDue(this);
    received = text;
    if (!announceQuiet.isActive())
        announceValue();
    // Between two paints one request is enough; a join of thousands of small
    // files changes the displays far more often than the screen is drawn.
    if (!paintPending) {
        paintPending = true;
        update();
    }
}

// Screen readers hear the percentage as the progress bar's value. An
// emptied display has no value, and none is told: the join empties both
// displays between files and at its end, and a "0" heard then would sound
// like the join going back to its start. The next value shown is told
// whatever the last one was.
void GaugeDisplay::announceValue()
{
    const int now = percent();
    if (now < 0) {
        announced = -1;
        return;
    }
    if (now == announced || !QAccessible::isActive())
        return;
    announced = now;
    QAccessibleValueChangeEvent event(this, now);
    QAccessible::updateAccessibility(&event);
    announceQuiet.start();
}

int GaugeDisplay::percent() const
{
    const QString& text = received;
    const qsizetype sign = text.indexOf(QLatin1Char('%'));
    bool number = false;
    const int value = sign > 0 ? text.left(sign).toInt(&number) : -1;
    return number ? value : -1;
}

void GaugeDisplay::repaintRequested()
{
    // A display already showing its text has nothing to paint; one that is
    // not has asked for its update, and only a due frame paints it sooner.
    if (paintPending)
        repaintIfDue(this);
}

void GaugeDisplay::paintEvent(QPaintEvent*)
{
    paintPending = false;
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    const QString& text = received;
    qsizetype barStart = text.indexOf(BarCharacter);
    if (barStart < 0)
        barStart = text.size();
    const int segments = int(text.count(BarCharacter));

    const QRect inside = rect().adjusted(4, 3, -4, -3);
    painter.setPen(palette().color(QPalette::Active, QPalette::Text));
    const QString figures = text.left(barStart);
    painter.drawText(inside, Qt::AlignVCenter | Qt::AlignLeft, figures);

    // The bar starts after the widest figures ("100% ") so that it does not
    // jump sideways as the percentage gains digits.
    const int barLeft = inside.left() + fontMetrics().horizontalAdvance(QStringLiteral("100% "));
    const double segmentWidth = double(inside.right() - barLeft) / FullBar;
    if (segments > 0 && segmentWidth > 0) {
        const QRectF bar(barLeft, inside.top() + 1, segmentWidth * std::min(segments, FullBar),
                         inside.height() - 2);
        painter.fillRect(bar, palette().color(QPalette::Active, QPalette::Highlight));
    }
}

}  // namespace quibex
