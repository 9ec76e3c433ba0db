#pragma once

#include "toolkit/SortOrder.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace quibex {

// What a widget showing a list box needs to hear about. A list box that is
// never shown has no observer.
class ListObserver {
public:
    virtual ~ListObserver() = default;
    // Each change comes as a pair: before the items change, and after.
    virtual void beginInsert(int position) = 0;
    virtual void endInsert() = 0;
    virtual void beginRemove(int position) = 0;
    virtual void endRemove() = 0;
    virtual void beginReset() = 0;
    virtual void endReset() = 0;
    virtual void highlightChanged(int position) = 0;
    virtual void repaintRequested() = 0;
};

// A list box: an ordered list of texts with at most one highlighted item.
// Each item may carry bytes beside its text (the exact on-disk name of a
// file, which a text cannot always hold). With the sorted property, an item
// added without a position goes to its place in the sorted-list order, after
// the items equal to it that are already there.
class ListBox {
public:
    // Counts and positions are 16-bit signed values: a list holds at most this many.
    static constexpr int MaxItems = 32767;

    explicit ListBox(bool sorted = false);
    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    bool isSorted() const { return sorted; }
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

    // -1 when nothing is highlighted.
    int listIndex() const { return highlighted; }
    void setListIndex(int position);

    // Redraws the list at once when it is shown.
    void refresh();

    void setObserver(ListObserver* observer);

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
    mutable std::vector<Item> items;
    mutable std::vector<SortOrder::Key> keys;  // parallel to items, sorted lists only
    mutable std::vector<Item> pending;
    int highlighted = -1;
    ListObserver* observer = nullptr;
};

}  // namespace quibex
