// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/BrowserViews.h"

#include "widgets/FocusFrame.h"
#include "widgets/FolderListModel.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

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

// Draws each folder of the folder list indented by its depth, two spaces
// width a level, as a tree draws its branches.
class IndentedRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent(option, index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(option, index), 0);
    }

private:
    static int indent(const QStyleOptionViewItem& option, const QModelIndex& index)
    {
        const int depth = index.data(FolderListModel::DepthRole).toInt();
        return depth * option.fontMetrics.horizontalAdvance(QStringLiteral("  "));
    }
};

}  // namespace

FileListView::FileListView(QWidget* parent) : QuietListView(parent)
{
    setUpListView(this);
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit picked();
    });
}

void FileListView::focusInEvent(QFocusEvent* event)
{
    // Qt puts the focus frame on the first file, without selecting it: a
    // frame shows where the keyboard stands, it is no pick.
    frame.takeFocus(*this, [&] { QListView::focusInEvent(event); });
    announceFramedRow(this);
}

void FileListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QuietListView::currentChanged(current, previous);
    frame.moved();
}

void FileListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    paintFocusOnEmptyList(this);
}

bool FileListView::moveFrameOnly(const QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    CursorAction move;
    switch (event->key()) {
    case Qt::Key_Up: move = MoveUp; break;
    case Qt::Key_Down: move = MoveDown; break;
    case Qt::Key_Home: move = MoveHome; break;
    case Qt::Key_End: move = MoveEnd; break;
    default: return false;
    }
    const QModelIndex target = moveCursor(move, Qt::NoModifier);
    if (target.isValid())
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    return true;
}

void FileListView::pick(const QModelIndex& index)
{
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    emit picked();
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    const bool firstKey = frame.firstKey();
    if (moveFrameOnly(event))
        return;
    const QModelIndex framed = currentIndex();
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (framed.isValid() && plain) {
        // Space and Enter pick the file under the frame, as a click does.
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter
            || key == Qt::Key_Select) {
            pick(framed);
            return;
        }
        // Moving on from the first file would skip it: the first arrow
        // press after taking the focus picks the file under the frame.
        if (firstKey && (key == Qt::Key_Down || key == Qt::Key_Up)
            && !selectionModel()->isSelected(framed)) {
            pick(framed);
            return;
        }
    }
    const QModelIndex before = framed;
    const bool wasSelected = before.isValid() && selectionModel()->isSelected(before);
    searched = false;
    QuietListView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (!searched && after.isValid() && selectionModel()->isSelected(after)
        && (after != before || !wasSelected))
        emit picked();
}

void FileListView::keyboardSearch(const QString& search)
{
    searched = true;
    const QScopedValueRollback<bool> onlyTheFrame(searching, true);
    QuietListView::keyboardSearch(search);
}

QItemSelectionModel::SelectionFlags FileListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const
{
    if (searching)
        return QItemSelectionModel::NoUpdate;
    return QuietListView::selectionCommand(index, event);
}

FolderListView::FolderListView(QWidget* parent) : QuietListView(parent)
{
    setUpListView(this);
    setItemDelegate(new IndentedRows(this));
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit opened(index.row());
    });
}

// The current row is the open folder: taking the focus, the list names it
// and its level, as the file list names its framed file.
void FolderListView::focusInEvent(QFocusEvent* event)
{
    QuietListView::focusInEvent(event);
    announceFramedRow(this);
}

void FolderListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && currentIndex().isValid()) {
        emit opened(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

void FolderListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    paintFocusOnEmptyList(this);
    drop.paint(this);
}

void FolderListView::dragEnterEvent(QDragEnterEvent* event)
{
    drop.enter(this, event);
}

void FolderListView::dragMoveEvent(QDragMoveEvent* event)
{
    drop.move(event);
}

void FolderListView::dragLeaveEvent(QDragLeaveEvent*)
{
    drop.leave(this);
}

void FolderListView::dropEvent(QDropEvent* event)
{
    const QList<QByteArray> paths = drop.drop(this, event);
    if (!paths.isEmpty())
        emit pathsDropped(paths);
}

void DriveComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

}  // namespace quibex
