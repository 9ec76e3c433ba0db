// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/Layout.h"
#include "app/ProgramIcon.h"
#include "browser/Browser.h"
#include "browser/FolderDrop.h"
#include "join/Join.h"
#include "toolkit/ProcessSignals.h"
#include "ordering/Ordering.h"
#include "selection/Selection.h"
#include "toolkit/drives/MountWatcher.h"
#include "toolkit/OffWindowThread.h"
#include "widgets/Accessibility.h"
#include "widgets/BrowserViews.h"
#include "widgets/GaugeDisplay.h"
#include "widgets/Pacing.h"
#include "widgets/QtMessageBox.h"
#include "widgets/SelectionListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <type_traits>

namespace quibex {

MainWindow::MainWindow(const QByteArray& startFolder, QWidget* parent)
    : QWidget(parent),
      ownMessages(std::make_unique<QtMessageBox>(this)),
      controls(std::make_unique<fmenu>(*ownMessages))
{
    controls->programFolder = startFolder;
    build();
}

MainWindow::MainWindow(const QByteArray& startFolder, MessageBox& messages, QWidget* parent)
    : QWidget(parent),
      controls(std::make_unique<fmenu>(messages))
{
    controls->programFolder = startFolder;
    build();
}

MainWindow::~MainWindow()
{
    forgetInputWatcher(this);
}

void MainWindow::build()
{
    installAccessibility();
    setObjectName(QStringLiteral("fmenu"));
    setWindowTitle(QStringLiteral("QUIBEX " QUIBEX_VERSION " Fr"));
    setWindowIcon(programIcon());
    // A fixed frame with the close button and the system menu, without
    // minimize and maximize buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(regularFont());

    connect(&controls->window, &Surface::repaintRequested, this,
            [this] { refreshWindowPaced(this); });
    connect(&controls->window, &Surface::endRequested, this, [this] {
        close();
        QCoreApplication::quit();
    });
    controls->Drive1.setDrives(DriveList::mountedDrives());

    createBrowser();
    createSelection();
    createCommands();
    wireEvents();
    setInputWatcher(this);
    setTabOrder();
    Form_Load(*controls);
}

namespace {

// The choice is made in a function of its own: clang 14 (which clang-tidy
// runs on) rejects the discarded branch when it sits in the generic lambda.
template <typename Handler, typename... Arguments>
void callWith(const Handler& handler, const Arguments&... arguments)
{
    if constexpr (std::is_invocable_v<const Handler&, const Arguments&...>)
        handler(arguments...);
    else
        handler();  // a click's "checked" flag, which no handler takes
}

}  // namespace

// No command starts while a join runs, whatever way the event came: the
// user's clicks and keys are dropped while the join works away from the
// window's thread, the window's own modal questions block them while it
// asks, and this also turns away the actions assistive tools perform on
// the buttons and lists meanwhile.
template <typename Handler>
auto MainWindow::unlessJoining(Handler handler)
{
    return [this, handler](auto... arguments) {
        if (isBusy())
            return;
        callWith(handler, arguments...);
    };
}

bool MainWindow::isBusy() const
{
    return joining || offWindowThreadRunning();
}

void MainWindow::wireEvents()
{
    fmenu& f = *controls;
    // The browser: a drive picked in the list, a folder opened, a file picked.
    connect(&f.Drive1, &DriveList::changed, this, [&f] { Drive1_Change(f); });
    connect(&f.Dir1, &DirList::changed, this, [&f] { Dir1_Change(f); });
    connect(shown.Drive1, &QComboBox::activated, this,
            unlessJoining([&f](int index) { f.Drive1.pickDrive(f.Drive1.list().item(index)); }));
    connect(shown.Drive1, &DriveComboBox::aboutToShowPopup, this,
            unlessJoining([this] { rereadDrivesWhenFree(); }));
    connect(new MountWatcher(this), &MountWatcher::mountsChanged, this,
            &MainWindow::rereadDrivesWhenFree);
    connect(shown.Dir1, &FolderListView::opened, this,
            unlessJoining([&f](int row) { f.Dir1.open(row); }));
    // "Dossiers": a folder, or a file, dropped from a file manager.
    connect(shown.Dir1, &FolderListView::pathsDropped, this,
            unlessJoining([&f](const QList<QByteArray>& paths) { Dir1_OLEDragDrop(f, paths); }));
    // "Sélectionner les fichiers à concaténer": a file picked joins the selection.
    connect(shown.File1, &FileListView::picked, this, unlessJoining([&f] { File1_Click(f); }));
    // "Fichiers sélectionnés": files dropped from a file manager.
    connect(shown.List1, &SelectionListView::filesDropped, this,
            unlessJoining([&f](const QList<QByteArray>& paths) { List1_OLEDragDrop(f, paths); }));

    const auto onClick = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, unlessJoining(handler));
    };
    onClick(shown.Command4, [&f] { Command4_Click(f); });        // "Ajouter toute la liste"
    onClick(shown.Command1[0], [&f] { Command1_Click(f, 0); });  // "Haut"
    onClick(shown.Command1[1], [&f] { Command1_Click(f, 1); });  // "Bas"
    onClick(shown.Command3, [&f] { Command3_Click(f); });        // "Retirer"
    onClick(shown.Command6, [&f] { Command6_Click(f); });        // "Retirer tout"
    onClick(shown.Command8, [&f] { Command8_Click(f); });        // "Tri normal"
    onClick(shown.Command7, [&f] { Command7_Click(f); });        // "Tri évolué"
    onClick(shown.Command2[1], [this] { runCreate(); });         // "Créer"
    // "Quitter": during a join (through an assistive tool: clicks are
    // dropped then), as the window's close button does.
    connect(shown.Command2[2], &QPushButton::clicked, this, [this, &f] {
        if (joining)
            close();
        else if (!isBusy())
            Command2_Click(f, 2);
    });

    // "Ajout retour chariot (ASCII 13)" and "Ajout changement de ligne
    // (ASCII 10)". Like every other control, a box is turned away during a
    // join: one ticked meanwhile (by an assistive tool; clicks are dropped)
    // goes back to what it holds.
    const auto option = [this](QCheckBox* box, CheckBox& value) {
        connect(box, &QCheckBox::stateChanged, this, [this, box, &value](int state) {
            if (!isBusy()) {
                value.setValue(state == Qt::Checked ? 1 : 0);
                return;
            }
            const QSignalBlocker quiet(box);
            box->setChecked(value.value() == 1);
        });
    };
    option(shown.Check1, f.Check1);
    option(shown.Check2, f.Check2);
}

// While a join or a folder read waits, the drive list waits for its end:
// the new file goes to the folder the join started in, and the browser
// changes only between commands.
void MainWindow::rereadDrivesWhenFree()
{
    if (isBusy()) {
        QTimer::singleShot(DrivesRetryMilliseconds, this, &MainWindow::rereadDrivesWhenFree);
        return;
    }
    quibex::rereadDrives(*controls);
}

void MainWindow::runCreate()
{
    joining = true;
    showHowToStop(true);
    const JoinOutcome outcome = Command2_Click(*controls, 1);
    showHowToStop(false);
    joining = false;
    // The join has stopped and left nothing behind: the program ends, as
    // the close asked.
    if (closeRequested)
        controls->window.end();
    else if (outcome.kind == JoinOutcome::Kind::Stopped)
        shown.Command2[1]->setFocus(Qt::OtherFocusReason);
}

// Escape stops a join, as in the copy dialogs of file managers; the window
// drops every other key meanwhile. A screen reader hears how from the
// displays while a join runs; "Créer" says it in its tooltip.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (joining && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        requestStop();
    return QWidget::eventFilter(watched, event);
}

void MainWindow::showHowToStop(bool running)
{
    const QString how = running ? QStringLiteral("Échap arrête la création en cours.") : QString();
    shown.jauge->setAccessibleDescription(how);
    shown.jauge2->setAccessibleDescription(how);
}

// The window's close button, the window manager or the end of the session.
// During a join the copy is asked to stop, a question or message it shows
// is answered as its Escape key would (No, OK), and the program ends once
// the join has let go of the new file, the old one whole.
//
// Outside a join, the window closes at once; a folder being read meanwhile
// is given up, and the program ends as soon as its command has returned.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!joining) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (closeRequested)
        return;
    closeRequested = true;
    requestStop();  // the copy stops between two chunks
    controls->messages.dismiss();
    uint64_t seen = 0;
    (void)processSignals().heldWorkGoesOn(seen);
    endUnlessTheJoinMovesOn(seen);
}

// A volume that stopped answering holds the work in the system: the
// program does not wait for it longer than a second. An old file being put
// back after a stop is waited for while the putting back goes on.
void MainWindow::endUnlessTheJoinMovesOn(uint64_t seen)
{
    QTimer::singleShot(1000, this, [this, seen]() mutable {
        if (!offWindowThreadRunning())
            return;
        if (processSignals().heldWorkGoesOn(seen))
            endUnlessTheJoinMovesOn(seen);
        else
            endDuringJoin();
    });
}

// Ends the program while the work is still held by its volume. The ending
// signal's own handler removes the new file's temporary name, if it has
// one, exactly as when the program is killed; nothing else was written
// under any name, and an old file being written into keeps its backup,
// which the next join into its folder puts back. On a volume that no
// longer answers, that removal would hold the program as well: it runs on
// a thread of its own, and the program ends a moment later whatever became
// of it. A temporary left there is removed by the next join into that
// folder, since the process that made it is gone.
void MainWindow::endDuringJoin()
{
    hide();
    try {
        std::thread([] { std::raise(SIGTERM); }).detach();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    } catch (const std::system_error&) {
        // No thread to be had: the program ends without removing it.
    }
    std::_Exit(EXIT_FAILURE);
}

void MainWindow::setTabOrder()
{
    QWidget* const order[] = {
        shown.Drive1,      shown.Dir1,        shown.File1,    shown.List1,
        shown.Command1[0], shown.Command1[1], shown.Text1,    shown.Command2[1],
        shown.Command2[2], shown.Command3,    shown.Check1,   shown.Check2,
        shown.Command4,    shown.Command6,    shown.Command7, shown.Command8};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    shown.Drive1->setFocus(Qt::OtherFocusReason);
}

}  // namespace quibex
