// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FocusFrame.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QPointer>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quibex {

void QuietListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (hasFocus()) {
        QListView::currentChanged(current, previous);
        return;
    }
    // QListView's own is this one with the announcement added.
    QAbstractItemView::currentChanged(current, previous);  // NOLINT(bugprone-parent-virtual-call)
}

void paintFocusOnEmptyList(QAbstractItemView* view)
{
    if (!view->hasFocus() || (view->model() && view->model()->rowCount() > 0))
        return;
    QStyleOptionFocusRect frame;
    frame.initFrom(view->viewport());
    frame.rect = view->viewport()->rect().adjusted(1, 1, -1, -1);
    // Styles draw the frame only for focus that came from the keyboard;
    // an empty list has no other way to show it has the focus.
    frame.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    frame.backgroundColor = view->palette().color(QPalette::Base);
    QPainter painter(view->viewport());
    view->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, view);
}

void announceFramedRow(QAbstractItemView* view)
{
    if (!QAccessible::isActive())
        return;
    // Qt announces the view itself after its focus-in handling: the row
    // comes next, from the event loop.
    QMetaObject::invokeMethod(
        view,
        [guard = QPointer<QAbstractItemView>(view)] {
            const QModelIndex framed = guard ? guard->currentIndex() : QModelIndex();
            if (framed.isValid() && guard->hasFocus())
                announceRow(guard.data(), framed.row());
        },
        Qt::QueuedConnection);
}

void announceRow(QAbstractItemView* view, int row)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

void paintDropTarget(QAbstractItemView* view)
{
    QPainter painter(view->viewport());
    painter.setPen(QPen(view->palette().color(QPalette::Highlight), 2));
    painter.drawRect(view->viewport()->rect().adjusted(1, 1, -1, -1));
}

}  // namespace quibex
