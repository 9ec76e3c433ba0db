// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/fmenu.h"

#include <QByteArray>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quibex {

class DriveComboBox;
class FileListView;
class FolderListView;
class GaugeDisplay;
class SelectionListView;

// The program's only window: the form's shown controls laid out as widgets,
// and every widget event sent to its handler.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Starts the browser on startFolder (the program's own folder when run).
    explicit MainWindow(const QByteArray& startFolder, QWidget* parent = nullptr);
    // Tests and benchmarks hand in their own message box.
    MainWindow(const QByteArray& startFolder, MessageBox& messages, QWidget* parent = nullptr);

    fmenu& form() { return *controls; }

    // The client area: 7830 × 8010 twips.
    static constexpr int ClientWidth = 522;
    static constexpr int ClientHeight = 534;

    ~MainWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The widgets showing the form's controls, by the controls' names.
    struct Widgets {
        DriveComboBox* Drive1 = nullptr;
        FolderListView* Dir1 = nullptr;
        FileListView* File1 = nullptr;
        SelectionListView* List1 = nullptr;
        QLineEdit* Text1 = nullptr;
        QCheckBox* Check1 = nullptr;
        QCheckBox* Check2 = nullptr;
        GaugeDisplay* jauge = nullptr;
        GaugeDisplay* jauge2 = nullptr;
        // Control arrays, indexed by their buttons' own indexes: Command1
        // has 0 "Haut" and 1 "Bas"; Command2 has 1 "Créer" and 2 "Quitter",
        // and no button 0.
        QPushButton* Command1[2] = {};
        QPushButton* Command2[3] = {};
        QPushButton* Command3 = nullptr;
        QPushButton* Command4 = nullptr;
        QPushButton* Command6 = nullptr;
        QPushButton* Command7 = nullptr;
        QPushButton* Command8 = nullptr;
    };

    void build();
    void createBrowser();
    void createSelection();
    void createCommands();
    void wireEvents();
    void setTabOrder();
    void runCreate();
    void showHowToStop(bool running);
    void rereadDrivesWhenFree();
    void endUnlessTheJoinMovesOn(uint64_t seen);
    void endDuringJoin();
    // A join is under way, or the window waits for work away from its thread.
    bool isBusy() const;
    template <typename Handler>
    auto unlessJoining(Handler handler);

    std::unique_ptr<MessageBox> ownMessages;
    std::unique_ptr<fmenu> controls;
    Widgets shown;
    bool shownOnce = false;
    bool joining = false;
    bool closeRequested = false;
    // How often the drive list looks again whether the window is free.
    static constexpr int DrivesRetryMilliseconds = 100;
};

}  // namespace quibex
