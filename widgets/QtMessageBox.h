// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/MessageBox.h"

class QWidget;

namespace quibex {

// The real dialogs: a modal QMessageBox with French buttons.
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* window) : parent(window) { }
    MsgAnswer show(const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override;

private:
    QWidget* parent;
};

}  // namespace quibex
