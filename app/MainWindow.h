#pragma once

#include "form/fmenu.h"

#include <QByteArray>
#include <QWidget>

#include <memory>

namespace quibex {

// The program's only window: the form's controls laid out as widgets, and
// every widget event sent to its handler.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Starts the browser on startFolder (the program's own folder when run).
    explicit MainWindow(const QByteArray& startFolder, QWidget* parent = nullptr);
    // Tests hand in their own message box; the window otherwise shows real dialogs.
    MainWindow(const QByteArray& startFolder, MessageBox& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    fmenu& form() { return *controls; }

private:
    void build();

    std::unique_ptr<MessageBox> ownMessages;
    std::unique_ptr<fmenu> controls;
};

}  // namespace quibex
