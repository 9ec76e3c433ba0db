// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/TextBox.h"

#include <QObject>

#include <functional>

class QLineEdit;

namespace quibex {

// Shows a text box in a line edit; every change the user makes to the
// line edit's text, by whatever means, goes back into the box, except while
// turnedAway() says the window takes no input (a join): the line edit then
// goes back to the box's text.
class LineEditBinding : public QObject {
    Q_OBJECT
public:
    LineEditBinding(TextBox& box, QLineEdit* edit, std::function<bool()> turnedAway = {});

private:
    void show(const QString& text);

    QLineEdit* edit;
    std::function<bool()> turnedAway;
    bool showingBoxText = false;
};

}  // namespace quibex
