// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ComboBoxBinding.h"

#include "widgets/FocusFrame.h"
#include "widgets/OneLine.h"
#include "widgets/Pacing.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalBlocker>

namespace quibex {

ComboBoxBinding::ComboBoxBinding(ListBox& shown, QComboBox* box)
    : QObject(box),
      list(shown),
      combo(box)
{
    connect(&shown, &ListBox::itemInserted, this, &ComboBoxBinding::refill);
    connect(&shown, &ListBox::itemRemoved, this, &ComboBoxBinding::refill);
    connect(&shown, &ListBox::reset, this, &ComboBoxBinding::refill);
    connect(&shown, &ListBox::highlightChanged, this, &ComboBoxBinding::select);
    connect(&shown, &ListBox::repaintRequested, this, [this] { repaintPaced(combo); });
    refill();
}

// Only the rows that differ are replaced, and the shown item moves straight
// to the one wanted before any row it shows goes: a screen reader hears the
// list change once, never a row that is not the selected drive, nor the
// empty box a cleared list would show in between.
void ComboBoxBinding::refill()
{
    const QSignalBlocker quiet(combo);
    QStringList wanted;
    for (int i = 0; i < list.count(); ++i)
        wanted << onOneLine(list.item(i));
    const int had = combo->count();
    const int target = list.listIndex();
    int head = 0;
    while (head < had && head < wanted.size() && combo->itemText(head) == wanted[head])
        ++head;
    int tail = 0;
    while (tail < had - head && tail < wanted.size() - head
           && combo->itemText(had - 1 - tail) == wanted[wanted.size() - 1 - tail])
        ++tail;
    // The new rows go in after the old ones they replace, which then go.
    const int added = int(wanted.size()) - head - tail;
    for (int r = 0; r < added; ++r)
        combo->insertItem(had - tail + r, wanted[head + r]);
    if (target < 0)
        combo->setCurrentIndex(-1);
    else if (target < head)
        combo->setCurrentIndex(target);
    else
        combo->setCurrentIndex(had - tail + target - head);
    for (int r = had - tail - 1; r >= head; --r)
        combo->removeItem(r);
    select(target);
}

// The drop-down's own list keeps its highlight where the user left it while
// it is closed; assistive tools read it as the selected item, so it
// follows the item shown. Only the highlight: moving that list's current
// row would tell them the row has the focus, wherever the focus is. Opening
// the drop-down puts its current row on the item shown.
void ComboBoxBinding::select(int position)
{
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(position);
    QItemSelectionModel* highlight = combo->view()->selectionModel();
    const QModelIndex row = combo->model()->index(position, 0);
    if (highlight->selectedIndexes() != QModelIndexList{row})
        highlight->select(row, QItemSelectionModel::ClearAndSelect);
    tellItemShown(position);
}

// Screen readers find no value in a drop-down list of this Qt (it offers
// them no selection to read) and hear nothing when it changes. The item
// shown is its description, which they read with it when it takes the
// focus. When the item changes under the keys, they are told that the
// drop-down's row for it has the focus: the row the keys act on, inside the
// control that has the focus; they say it, as they say a list's new row.
void ComboBoxBinding::tellItemShown(int position)
{
    const QString shown = combo->currentText();
    if (combo->accessibleDescription() != shown)
        combo->setAccessibleDescription(shown);
    if (position >= 0 && combo->hasFocus())
        announceRow(combo->view(), position);
}

}  // namespace quibex
