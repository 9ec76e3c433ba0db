#include "widgets/ListBoxModel.h"

#include "widgets/Pacing.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace quibex {

ListBoxModel::ListBoxModel(ListBox& list, QAbstractItemView* view)
    : QAbstractListModel(view), list(list), view(view)
{
    view->setModel(this);
    list.setObserver(this);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { userChangedHighlight(); });
    showHighlight(list.listIndex());
}

ListBoxModel::~ListBoxModel()
{
    list.setObserver(nullptr);
}

int ListBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list.count();
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    return list.item(index.row());
}

// While rows change, Qt moves its current index by rules of its own (to a
// neighbour of a removed row, say); the list box's highlight is the one that
// counts, so the view is brought back to it afterwards.
void ListBoxModel::beginInsert(int position)
{
    syncing = true;
    beginInsertRows({}, position, position);
}

void ListBoxModel::endInsert()
{
    endInsertRows();
    reconcile();
}

void ListBoxModel::beginRemove(int position)
{
    syncing = true;
    beginRemoveRows({}, position, position);
}

void ListBoxModel::endRemove()
{
    endRemoveRows();
    reconcile();
}

void ListBoxModel::beginReset()
{
    syncing = true;
    beginResetModel();
}

void ListBoxModel::endReset()
{
    endResetModel();
    reconcile();
}

void ListBoxModel::reconcile()
{
    const QModelIndex current = view->currentIndex();
    const int shown = current.isValid() && view->selectionModel()->isSelected(current) ? current.row() : -1;
    if (shown != list.listIndex())
        showHighlight(list.listIndex());
    syncing = false;
}

void ListBoxModel::highlightChanged(int position)
{
    showHighlight(position);
}

void ListBoxModel::repaintRequested()
{
    repaintPaced(view->viewport());
}

void ListBoxModel::showHighlight(int position)
{
    const bool wasSyncing = syncing;
    syncing = true;
    QItemSelectionModel* selection = view->selectionModel();
    if (position < 0) {
        // The focus frame stays where it was: Space or Enter there picks again.
        selection->clearSelection();
    } else {
        const QModelIndex item = index(position);
        selection->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        view->scrollTo(item);
    }
    syncing = wasSyncing;
}

void ListBoxModel::userChangedHighlight()
{
    // Rows inserted or removed by a command change the view's selection too;
    // only the user's own changes move the highlight.
    if (syncing)
        return;
    // The highlight is the item shown selected, not the view's current item:
    // that one may carry only the focus frame (the list has just taken the
    // focus, or the user has unselected it with Ctrl).
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    list.setListIndex(selected.isEmpty() ? -1 : selected.first().row());
}

}  // namespace quibex
