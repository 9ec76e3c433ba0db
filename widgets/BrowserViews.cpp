// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/BrowserViews.h"

#include <QKeyEvent>

#include <utility>

namespace quibex {

namespace {

void setUpListView(QListView* view)
{
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row has the same height; Qt then lays out 32,767 rows at once
    // instead of measuring each.
    view->setUniformItemSizes(true);
}

}  // namespace

FileListView::FileListView(QWidget* parent) : QListView(parent)
{
    setUpListView(this);
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit picked();
    });
}

void FileListView::focusInEvent(QFocusEvent* event)
{
    const bool hadFrame = currentIndex().isValid();
    // Qt puts the focus frame on the first file, without selecting it: a
    // frame shows where the keyboard stands, it is no pick.
    QListView::focusInEvent(event);
    frameFromFocus = !hadFrame && currentIndex().isValid();
}

void FileListView::pick(const QModelIndex& index)
{
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    emit picked();
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    const bool firstKey = std::exchange(frameFromFocus, false);
    const QModelIndex framed = currentIndex();
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (framed.isValid() && plain) {
        // Space and Enter pick the file under the frame, as a click does.
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select) {
            pick(framed);
            return;
        }
        // Moving on from the first file would skip it: the first arrow
        // press after taking the focus picks the file under the frame.
        if (firstKey && (key == Qt::Key_Down || key == Qt::Key_Up) && !selectionModel()->isSelected(framed)) {
            pick(framed);
            return;
        }
    }
    const QModelIndex before = framed;
    const bool wasSelected = before.isValid() && selectionModel()->isSelected(before);
    QListView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && selectionModel()->isSelected(after) && (after != before || !wasSelected))
        emit picked();
}

FolderListView::FolderListView(QWidget* parent) : QListView(parent)
{
    setUpListView(this);
    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit opened(index.row());
    });
}

void FolderListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit opened(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

void DriveComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

}  // namespace quibex
