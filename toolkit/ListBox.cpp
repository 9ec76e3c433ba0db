// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/ListBox.h"

#include <algorithm>
#include <numeric>

namespace quibex {

ListBox::ListBox(bool sortedList, int maxItems) : sorted(sortedList), capacity(maxItems)
{
}

int ListBox::count() const
{
    return int(items.size() + pending.size());
}

const ListBox::Item* ListBox::at(int position) const
{
    settle();
    if (position < 0 || position >= int(items.size()))
        return nullptr;
    return &items[size_t(position)];
}

QString ListBox::item(int position) const
{
    const Item* found = at(position);
    return found ? found->text : QString();
}

QByteArray ListBox::itemData(int position) const
{
    const Item* found = at(position);
    return found ? found->data : QByteArray();
}

bool ListBox::addItem(const QString& text, const QByteArray& data)
{
    if (count() >= capacity)
        return false;
    if (sorted) {
        pending.push_back({text, data});
        return true;
    }
    emit itemAboutToBeInserted(int(items.size()));
    items.push_back({text, data});
    emit itemInserted();
    return true;
}

bool ListBox::insertItem(int position, const QString& text, const QByteArray& data)
{
    settle();
    if (count() >= capacity || position < 0 || position > count())
        return false;
    emit itemAboutToBeInserted(position);
    items.insert(items.begin() + position, {text, data});
    if (sorted)
        keys.insert(keys.begin() + position, SortOrder::current().key(text));
    if (highlighted >= position)
        ++highlighted;
    emit itemInserted();
    return true;
}

void ListBox::removeItem(int position)
{
    settle();
    if (position < 0 || position >= count())
        return;
    emit itemAboutToBeRemoved(position);
    items.erase(items.begin() + position);
    if (sorted)
        keys.erase(keys.begin() + position);
    if (highlighted == position)
        highlighted = -1;
    else if (highlighted > position)
        --highlighted;
    emit itemRemoved();
}

void ListBox::clear()
{
    emit aboutToBeReset();
    items.clear();
    keys.clear();
    pending.clear();
    highlighted = -1;
    emit reset();
}

void ListBox::replaceItems(const std::vector<QString>& texts, const std::vector<QByteArray>& data,
                           int highlight)
{
    emit aboutToBeReset();
    items.clear();
    keys.clear();
    pending.clear();
    for (size_t i = 0; i < texts.size() && i < size_t(capacity); ++i)
        (sorted ? pending : items).push_back({texts[i], i < data.size() ? data[i] : QByteArray()});
    highlighted = highlight >= -1 && highlight < count() ? highlight : -1;
    emit reset();
    emit highlightChanged(highlighted);
}

void ListBox::setListIndex(int position)
{
    if (position < -1 || position >= count())
        return;
    highlighted = position;
    emit highlightChanged(position);
}

void ListBox::settle() const
{
    if (pending.empty())
        return;
    const SortOrder& order = SortOrder::current();
    std::vector<SortOrder::Key> pendingKeys;
    pendingKeys.reserve(pending.size());
    for (const Item& item : pending)
        pendingKeys.push_back(order.key(item.text));

    // Stable: of equal newcomers, the one added first stays first.
    std::vector<size_t> rank(pending.size());
    std::iota(rank.begin(), rank.end(), size_t(0));
    std::stable_sort(rank.begin(), rank.end(), [&](size_t a, size_t b) {
        return pendingKeys[a].compare(pendingKeys[b]) < 0;
    });

    // Merge, the items already there winning ties: a newcomer lands after
    // the equal items that were in the list before it.
    std::vector<Item> mergedItems;
    std::vector<SortOrder::Key> mergedKeys;
    mergedItems.reserve(items.size() + pending.size());
    mergedKeys.reserve(items.size() + pending.size());
    size_t old = 0;
    for (size_t r : rank) {
        while (old < items.size() && keys[old].compare(pendingKeys[r]) <= 0) {
            mergedItems.push_back(std::move(items[old]));
            mergedKeys.push_back(std::move(keys[old]));
            ++old;
        }
        mergedItems.push_back(std::move(pending[r]));
        mergedKeys.push_back(std::move(pendingKeys[r]));
    }
    for (; old < items.size(); ++old) {
        mergedItems.push_back(std::move(items[old]));
        mergedKeys.push_back(std::move(keys[old]));
    }
    emit aboutToBeReset();
    items = std::move(mergedItems);
    keys = std::move(mergedKeys);
    pending.clear();
    emit reset();
}

}  // namespace quibex
