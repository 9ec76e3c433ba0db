#include "widgets/ComboBoxBinding.h"

#include "widgets/Pacing.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace quibex {

ComboBoxBinding::ComboBoxBinding(ListBox& list, QComboBox* combo)
    : QObject(combo), list(list), combo(combo)
{
    list.setObserver(this);
    refill();
}

ComboBoxBinding::~ComboBoxBinding()
{
    list.setObserver(nullptr);
}

void ComboBoxBinding::refill()
{
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (int i = 0; i < list.count(); ++i)
        combo->addItem(list.item(i));
    combo->setCurrentIndex(list.listIndex());
}

void ComboBoxBinding::highlightChanged(int position)
{
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(position);
}

void ComboBoxBinding::repaintRequested()
{
    repaintPaced(combo);
}

}  // namespace quibex
