// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/TextBox.h"

#include <QObject>

class QLineEdit;

namespace quibex {

// Shows a text box in a line edit; every change the user makes to the
// line edit's text, by whatever means, goes back into the box.
class LineEditBinding : public QObject {
    Q_OBJECT
public:
    LineEditBinding(TextBox& box, QLineEdit* edit);

private:
    void show(const QString& text);

    QLineEdit* edit;
    bool showingBoxText = false;
};

}  // namespace quibex
