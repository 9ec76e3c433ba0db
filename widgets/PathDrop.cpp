// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PathDrop.h"

#include "widgets/FocusFrame.h"
#include "widgets/UriList.h"

#include <QAbstractItemView>
#include <QDragEnterEvent>
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

void PathDrop::frame(QAbstractItemView* view, bool shown)
{
    if (std::exchange(over, shown) != shown)
        view->viewport()->update();
}

void PathDrop::enter(QAbstractItemView* view, QDragEnterEvent* event)
{
    if (!namesLocalPaths(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    frame(view, true);
}

void PathDrop::move(QDragMoveEvent* event) const
{
    // The whole list is the target, wherever the paths are let go. What
    // the drag holds was looked at on its way in.
    if (!over) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PathDrop::leave(QAbstractItemView* view)
{
    frame(view, false);
}

QList<QByteArray> PathDrop::drop(QAbstractItemView* view, QDropEvent* event)
{
    frame(view, false);
    const QMimeData* dragged = event->mimeData();
    if (!dragged || !dragged->hasFormat(uriListType)) {
        event->ignore();
        return {};
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return localPathsOf(dragged->data(uriListType));
}

void PathDrop::paint(QAbstractItemView* view) const
{
    if (over)
        paintDropTarget(view);
}

}  // namespace quibex
