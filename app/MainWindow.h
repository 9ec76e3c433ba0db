#pragma once

#include "form/fmenu.h"

#include <QByteArray>
#include <QWidget>

#include <memory>

class QPushButton;

namespace quibex {

// The program's only window: the form's shown controls laid out as widgets,
// and every widget event sent to its handler.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Starts the browser on startFolder (the program's own folder when run).
    explicit MainWindow(const QByteArray& startFolder, QWidget* parent = nullptr);
    // Tests and benchmarks hand in their own message box.
    MainWindow(const QByteArray& startFolder, MessageBox& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    fmenu& form() { return *controls; }

    // The client area, from the control table: 7830 × 8010 twips.
    static constexpr int ClientWidth = 522;
    static constexpr int ClientHeight = 534;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void createWidgets();
    void wireEvents();
    void setTabOrder();

    std::unique_ptr<MessageBox> ownMessages;
    std::unique_ptr<fmenu> controls;
    bool shownOnce = false;
};

}  // namespace quibex
