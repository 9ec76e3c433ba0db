// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/FocusFrame.h"
#include "widgets/PathDrop.h"

#include <QByteArray>
#include <QList>
#include <QListView>

namespace quibex {

// The view of the selected files. It takes files dragged from a file
// manager, framing itself while they are over it, and hands their paths
// on. Coming in with Tab puts the focus frame on the first entry; the first
// Up or Down then highlights that entry rather than skipping past it.
class SelectionListView : public QuietListView {
    Q_OBJECT
public:
    explicit SelectionListView(QWidget* parent = nullptr);

signals:
    // The local paths dropped, as bytes, in the order the drag gave them.
    void filesDropped(const QList<QByteArray>& paths);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    FrameFromFocus frame;
    PathDrop drop;
};

}  // namespace quibex
