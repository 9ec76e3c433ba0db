#pragma once

#include <QString>

namespace quibex {

// What a widget showing a text box needs to hear about.
class TextObserver {
public:
    virtual ~TextObserver() = default;
    virtual void textChanged(const QString& text) = 0;
    virtual void focusRequested() = 0;
    virtual void repaintRequested() = 0;
};

// A single-line text box. The text lives here; a widget showing it reports
// the user's edits through userEdited().
class TextBox {
public:
    TextBox() = default;
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    const QString& text() const { return value; }
    void setText(const QString& text);

    // Gives the box the keyboard focus. The count lets a test see that a
    // command asked for the focus even when no widget is attached.
    void setFocus();
    int focusRequests() const { return focusCount; }

    void refresh();

    void setObserver(TextObserver* observer);
    void userEdited(const QString& text) { value = text; }

private:
    QString value;
    int focusCount = 0;
    TextObserver* observer = nullptr;
};

}  // namespace quibex
