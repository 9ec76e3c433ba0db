// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SelectionListView.h"

#include "widgets/FocusFrame.h"
#include "widgets/PathDrop.h"

#include <QKeyEvent>

namespace quibex {

SelectionListView::SelectionListView(QWidget* parent) : QuietListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void SelectionListView::focusInEvent(QFocusEvent* event)
{
    frame.takeFocus(*this, [&] { QListView::focusInEvent(event); });
    announceFramedRow(this);
}

void SelectionListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QuietListView::currentChanged(current, previous);
    frame.moved();
}

void SelectionListView::keyPressEvent(QKeyEvent* event)
{
    const bool firstKey = frame.firstKey();
    const QModelIndex framed = currentIndex();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    // Moving on from the first entry would skip it: the first arrow press
    // after taking the focus highlights the entry under the frame.
    if (firstKey && plain && framed.isValid()
        && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)
        && !selectionModel()->isSelected(framed)) {
        selectionModel()->setCurrentIndex(framed, QItemSelectionModel::ClearAndSelect);
        return;
    }
    QListView::keyPressEvent(event);
}

void SelectionListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    paintFocusOnEmptyList(this);
    drop.paint(this);
}

void SelectionListView::dragEnterEvent(QDragEnterEvent* event)
{
    drop.enter(this, event);
}

void SelectionListView::dragMoveEvent(QDragMoveEvent* event)
{
    drop.move(event);
}

void SelectionListView::dragLeaveEvent(QDragLeaveEvent*)
{
    drop.leave(this);
}

void SelectionListView::dropEvent(QDropEvent* event)
{
    const QList<QByteArray> paths = drop.drop(this, event);
    if (!paths.isEmpty())
        emit filesDropped(paths);
}

}  // namespace quibex
