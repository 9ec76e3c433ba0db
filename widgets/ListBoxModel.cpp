// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ListBoxModel.h"

#include "widgets/OneLine.h"
#include "widgets/Pacing.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace quibex {

ListBoxModel::ListBoxModel(ListBox& shown, QAbstractItemView* itemView)
    : QAbstractListModel(itemView),
      list(&shown),
      view(itemView)
{
    view->setModel(this);
    // While rows change, Qt moves its current index by rules of its own (to
    // a neighbour of a removed row, say); the list box's highlight is the one
    // that counts, so the view is brought back to it afterwards.
    connect(&shown, &ListBox::itemAboutToBeInserted, this, &ListBoxModel::aboutToInsert);
    connect(&shown, &ListBox::itemInserted, this, [this] {
        endInsertRows();
        reconcile();
    });
    connect(&shown, &ListBox::itemAboutToBeRemoved, this, &ListBoxModel::aboutToRemove);
    connect(&shown, &ListBox::itemRemoved, this, [this] {
        endRemoveRows();
        reconcile();
    });
    connect(&shown, &ListBox::aboutToBeReset, this, &ListBoxModel::aboutToReset);
    connect(&shown, &ListBox::reset, this, [this] {
        endResetModel();
        reconcile();
    });
    connect(&shown, &ListBox::highlightChanged, this, &ListBoxModel::showHighlight);
    connect(&shown, &ListBox::repaintRequested, this, [this] { repaintPaced(view->viewport()); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { userChangedHighlight(); });
    showHighlight(shown.listIndex());
}

int ListBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !list ? 0 : list->count();
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const
{
    if (!list || !index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    return onOneLine(list->item(index.row()));
}

void ListBoxModel::aboutToInsert(int position)
{
    syncing = true;
    beginInsertRows({}, position, position);
}

void ListBoxModel::aboutToRemove(int position)
{
    syncing = true;
    beginRemoveRows({}, position, position);
}

void ListBoxModel::aboutToReset()
{
    syncing = true;
    beginResetModel();
}

void ListBoxModel::reconcile()
{
    const QModelIndex current = view->currentIndex();
    const int shown =
        current.isValid() && view->selectionModel()->isSelected(current) ? current.row() : -1;
    if (shown != list->listIndex())
        showHighlight(list->listIndex());
    syncing = false;
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
    if (syncing || !list)
        return;
    // The highlight is the item shown selected, not the view's current item:
    // that one may carry only the focus frame (the list has just taken the
    // focus, or the user has unselected it with Ctrl).
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    list->setListIndex(selected.isEmpty() ? -1 : selected.first().row());
}

}  // namespace quibex
