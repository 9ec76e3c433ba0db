#pragma once

#include "toolkit/ListBox.h"

#include <QAbstractListModel>

class QAbstractItemView;

namespace quibex {

// Shows a list box in an item view: the list box keeps the items and the
// highlight; the view draws them and reports the user's highlight back.
class ListBoxModel : public QAbstractListModel, public ListObserver {
    Q_OBJECT
public:
    ListBoxModel(ListBox& list, QAbstractItemView* view);
    ~ListBoxModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void beginInsert(int position) override;
    void endInsert() override;
    void beginRemove(int position) override;
    void endRemove() override;
    void beginReset() override;
    void endReset() override;
    void highlightChanged(int position) override;
    void repaintRequested() override;

private:
    void showHighlight(int position);
    void reconcile();
    void userChangedHighlight();

    ListBox& list;
    QAbstractItemView* view;
    bool syncing = false;
};

}  // namespace quibex
