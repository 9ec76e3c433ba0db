// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/SortOrder.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <limits>
#include <vector>

namespace quibex {

// A list box: an ordered list of texts with at most one highlighted item.
// Each item may carry bytes beside its text (the exact on-disk name of a
// file, which a text cannot always hold). With the sorted property, an item
// added without a position goes to its place in the sorted-list order, after
// the items equal to it that are already there.
//
// A widget showing the list listens to its signals; a list that is never
// shown has no listener, and its signals cost next to nothing.
class ListBox : public QObject {
    Q_OBJECT
public:
    // The selection's counts and positions are 16-bit signed values: its
    // lists, and the sorts' working lists, hold at most this many. The
    // browser's lists hold whatever a folder holds.
    static constexpr int MaxItems = 32767;
    static constexpr int Unlimited = std::numeric_limits<int>::max();

    explicit ListBox(bool sorted = false, int capacity = Unlimited);

    int count() const;
    QString item(int position) const;
    QByteArray itemData(int position) const;

    // Appends (or, when sorted, inserts at the sorted place). Returns false,
    // changing nothing, when the list is full.
    bool addItem(const QString& text, const QByteArray& data = {});
    // 0 <= position <= count. Returns false when the list is full or the position is out of range.
    bool insertItem(int position, const QString& text, const QByteArray& data = {});
    void removeItem(int position);
    void clear();
    // Puts these items and this highlight in place of all there were, in one
    // step: a shown list is redrawn once, never seen half filled.
    // texts and data go together, item by item.
    void replaceItems(const std::vector<QString>& texts, const std::vector<QByteArray>& data,
                      int highlight);

    // -1 when nothing is highlighted.
    int listIndex() const { return highlighted; }
    void setListIndex(int position);

    // Redraws the list at once when it is shown.
    void refresh() { emit repaintRequested(); }

signals:
    // Each change of the items comes as a pair: before it, and after.
    void itemAboutToBeInserted(int position);
    void itemInserted();
    void itemAboutToBeRemoved(int position);
    void itemRemoved();
    // Every item may have changed: the list was cleared, or the items added
    // to a sorted list were merged in, which happens when the list is read.
    void aboutToBeReset() const;
    void reset() const;
    void highlightChanged(int position);
    void repaintRequested();

private:
    struct Item {
        QString text;
        QByteArray data;
    };

    // Items added to a sorted list wait here until the list is read, then are
    // merged in one go: adding n items one by one into a sorted array would
    // cost n² moves, a stable sort and merge costs n log n, and the order seen
    // is the same.
    void settle() const;
    const Item* at(int position) const;

    bool sorted;
    int capacity;
    mutable std::vector<Item> items;
    mutable std::vector<SortOrder::Key> keys;  // parallel to items, sorted lists only
    mutable std::vector<Item> pending;
    int highlighted = -1;
};

}  // namespace quibex
