// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/ListBox.h"

#include <QObject>

class QComboBox;

namespace quibex {

// Shows a list box in a combo box (the drive list): the items and the
// selected one follow the list box; the user's pick is reported by the
// combo box's own activated signal.
class ComboBoxBinding : public QObject {
    Q_OBJECT
public:
    ComboBoxBinding(ListBox& list, QComboBox* combo);

private:
    void refill();
    void select(int position);
    void tellItemShown(int position);

    ListBox& list;
    QComboBox* combo;
};

}  // namespace quibex
