// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/ListBox.h"

#include <QAbstractListModel>
#include <QPointer>

class QAbstractItemView;

namespace quibex {

// Shows a list box in an item view: the list box keeps the items and the
// highlight; the view draws them and reports the user's highlight back.
// The model is the view's child; should the list box go first, the view
// shows an empty list.
class ListBoxModel : public QAbstractListModel {
    Q_OBJECT
public:
    ListBoxModel(ListBox& list, QAbstractItemView* view);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void aboutToInsert(int position);
    void aboutToRemove(int position);
    void aboutToReset();
    void reconcile();
    void showHighlight(int position);
    void userChangedHighlight();

    QPointer<ListBox> list;
    QAbstractItemView* view;
    bool syncing = false;
};

}  // namespace quibex
