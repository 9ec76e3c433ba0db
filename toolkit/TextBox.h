// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace quibex {

// A single-line text box. The text lives here; a widget showing it listens
// to the signals and reports the user's edits through userEdited(). A box
// that is never shown has no listener, and its signals cost next to nothing.
class TextBox : public QObject {
    Q_OBJECT
public:
    TextBox() = default;

    const QString& text() const { return value; }
    void setText(const QString& text);

    // Gives the box the keyboard focus.
    void setFocus() { emit focusRequested(); }
    // Redraws the box at once when it is shown.
    void refresh() { emit repaintRequested(); }

    // The user's edit, which the widget already shows: nothing is announced.
    void userEdited(const QString& text) { value = text; }

signals:
    void textChanged(const QString& text);
    void focusRequested();
    void repaintRequested();

private:
    QString value;
};

}  // namespace quibex
