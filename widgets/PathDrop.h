// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

class QAbstractItemView;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

namespace quibex {

// What a list does with files and folders dragged from a file manager: it
// takes a drag that names at least one local path, frames itself while the
// drag is over it, and hands the paths on, in the drag's order, as bytes.
// What the paths name is looked at by whoever takes them.
class PathDrop {
public:
    void enter(QAbstractItemView* view, QDragEnterEvent* event);
    void move(QDragMoveEvent* event) const;
    void leave(QAbstractItemView* view);
    // The local paths let go on the view; none when the drop is refused.
    QList<QByteArray> drop(QAbstractItemView* view, QDropEvent* event);
    // Called at the end of the view's paint.
    void paint(QAbstractItemView* view) const;

private:
    void frame(QAbstractItemView* view, bool shown);

    bool over = false;
};

}  // namespace quibex
