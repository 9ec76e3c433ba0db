// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ComboBoxBinding.h"

#include "widgets/OneLine.h"
#include "widgets/Pacing.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace quibex {

ComboBoxBinding::ComboBoxBinding(ListBox& shown, QComboBox* box)
    : QObject(box), list(shown), combo(box)
{
    connect(&shown, &ListBox::itemInserted, this, &ComboBoxBinding::refill);
    connect(&shown, &ListBox::itemRemoved, this, &ComboBoxBinding::refill);
    connect(&shown, &ListBox::reset, this, &ComboBoxBinding::refill);
    connect(&shown, &ListBox::highlightChanged, this, &ComboBoxBinding::select);
    connect(&shown, &ListBox::repaintRequested, this, [this] { repaintPaced(combo); });
    refill();
}

void ComboBoxBinding::refill()
{
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (int i = 0; i < list.count(); ++i)
        combo->addItem(onOneLine(list.item(i)));
    combo->setCurrentIndex(list.listIndex());
}

void ComboBoxBinding::select(int position)
{
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(position);
}

}  // namespace quibex
