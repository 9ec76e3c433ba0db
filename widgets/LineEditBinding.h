#pragma once

#include "toolkit/TextBox.h"

#include <QObject>

class QLineEdit;

namespace quibex {

// Shows a text box in a line edit; every change the user makes to the
// line edit's text, by whatever means, goes back into the box.
class LineEditBinding : public QObject, public TextObserver {
    Q_OBJECT
public:
    LineEditBinding(TextBox& box, QLineEdit* edit);
    ~LineEditBinding() override;

    void textChanged(const QString& text) override;
    void focusRequested() override;
    void repaintRequested() override;

private:
    TextBox& box;
    QLineEdit* edit;
    bool showingBoxText = false;
};

}  // namespace quibex
