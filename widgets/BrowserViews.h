// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/FocusFrame.h"
#include "widgets/PathDrop.h"

#include <QComboBox>
#include <QListView>

namespace quibex {

// The file list's view. A pick is every mouse click on a file, the one
// already highlighted included, every keyboard move of the highlight onto a
// file, and Space or Enter on the file under the focus frame: the ways a
// user chooses a file in a list. Ctrl with Up, Down, Home or End moves the
// focus frame alone, so that the keyboard reaches a file without picking
// those on the way; so do letters, which move it to the next file whose
// name begins with what was typed within a moment, as in every list.
class FileListView : public QuietListView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

signals:
    void picked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyboardSearch(const QString& search) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void pick(const QModelIndex& index);
    bool moveFrameOnly(const QKeyEvent* event);

    FrameFromFocus frame;
    bool searching = false;  // letters move the frame, they pick nothing
    bool searched = false;   // the key being handled was a letter of a search
};

// The folder list's view, drawn as a tree: each folder indented by its
// depth. A double-click or Enter opens a folder; a single click only
// highlights it. It takes folders and files dragged from a file manager.
class FolderListView : public QuietListView {
    Q_OBJECT
public:
    explicit FolderListView(QWidget* parent = nullptr);

signals:
    void opened(int row);
    // The local paths dropped, as bytes, in the order the drag gave them.
    void pathsDropped(const QList<QByteArray>& paths);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    PathDrop drop;
};

// The drive list's view: tells when its drop-down is about to open, so that
// the drives mounted since can be listed first.
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget* parent = nullptr) : QComboBox(parent) { }
    void showPopup() override;

signals:
    void aboutToShowPopup();
};

}  // namespace quibex
