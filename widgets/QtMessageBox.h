// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/MessageBox.h"

#include <QPointer>

class QMessageBox;
class QWidget;

namespace quibex {

// The real dialogs: a QMessageBox with French buttons, which keeps the user
// to itself while it is up.
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* window) : parent(window) { }
    MsgAnswer show(const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override;
    void dismiss() override;

private:
    QWidget* parent;
    QPointer<QMessageBox> shown;
};

}  // namespace quibex
