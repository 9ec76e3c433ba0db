#pragma once

#include "toolkit/TextBox.h"

#include <QObject>

class QLineEdit;

namespace quibex {

// Shows a text box in a line edit; the user's edits go back into the box.
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
};

}  // namespace quibex
