// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SelectionListView.h"

#include "widgets/FocusFrame.h"
#include "widgets/UriList.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>

#include <utility>

namespace quibex {

namespace {

const QString uriListType = QStringLiteral("text/uri-list");

// Only a drag that names at least one local path is taken; the files
// themselves are looked at when dropped.
bool namesLocalPaths(const QMimeData* data)
{
    return data && data->hasFormat(uriListType) && !localPathsOf(data->data(uriListType)).isEmpty();
}

}  // namespace

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
    if (dropTarget)
        paintDropTarget(this);
}

void SelectionListView::showDropTarget(bool shown)
{
    if (std::exchange(dropTarget, shown) != shown)
        viewport()->update();
}

void SelectionListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!namesLocalPaths(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    showDropTarget(true);
}

void SelectionListView::dragMoveEvent(QDragMoveEvent* event)
{
    // The whole list is the target: the files go at the end wherever they
    // are let go. What the drag holds was looked at on its way in.
    if (!dropTarget) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void SelectionListView::dragLeaveEvent(QDragLeaveEvent*)
{
    showDropTarget(false);
}

void SelectionListView::dropEvent(QDropEvent* event)
{
    showDropTarget(false);
    const QMimeData* dragged = event->mimeData();
    if (!dragged || !dragged->hasFormat(uriListType)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit filesDropped(localPathsOf(dragged->data(uriListType)));
}

}  // namespace quibex
