#pragma once

#include "toolkit/ListBox.h"

#include <QObject>

class QComboBox;

namespace quibex {

// Shows a list box in a combo box (the drive list): the items and the
// selected one follow the list box; the user's pick is reported by the
// combo box's own activated signal.
class ComboBoxBinding : public QObject, public ListObserver {
    Q_OBJECT
public:
    ComboBoxBinding(ListBox& list, QComboBox* combo);
    ~ComboBoxBinding() override;

    void beginInsert(int) override {}
    void endInsert() override { refill(); }
    void beginRemove(int) override {}
    void endRemove() override { refill(); }
    void beginReset() override {}
    void endReset() override { refill(); }
    void highlightChanged(int position) override;
    void repaintRequested() override;

private:
    void refill();

    ListBox& list;
    QComboBox* combo;
};

}  // namespace quibex
