#include "toolkit/BrowserViews.h"

#include <QKeyEvent>

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

void FileListView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex before = currentIndex();
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

}  // namespace quibex
