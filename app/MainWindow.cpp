// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/Layout.h"
#include "app/ProgramIcon.h"
#include "browser/Browser.h"
#include "join/Join.h"
#include "ordering/Ordering.h"
#include "selection/Selection.h"
#include "toolkit/MountWatcher.h"
#include "widgets/Accessibility.h"
#include "widgets/BrowserViews.h"
#include "widgets/Pacing.h"
#include "widgets/QtMessageBox.h"
#include "widgets/SelectionListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>

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
    : QWidget(parent), controls(std::make_unique<fmenu>(messages))
{
    controls->programFolder = startFolder;
    build();
}

void MainWindow::build()
{
    installAccessibility();
    setObjectName(QStringLiteral("fmenu"));
    setWindowTitle(QStringLiteral("QUIBEX 1.4 Fr"));
    setWindowIcon(programIcon());
    // A fixed frame with the close button and the system menu, without
    // minimize and maximize buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(regularFont());

    connect(&controls->window, &Surface::repaintRequested, this, [this] { refreshWindowPaced(this); });
    connect(&controls->window, &Surface::endRequested, this, [this] {
        close();
        QCoreApplication::quit();
    });
    controls->Drive1.setDrives(DriveList::mountedDrives());

    createBrowser();
    createSelection();
    createCommands();
    wireEvents();
    setTabOrder();
    Form_Load(*controls);
}

void MainWindow::wireEvents()
{
    fmenu& f = *controls;
    connect(&f.Drive1, &DriveList::changed, this, [&f] { Drive1_Change(f); });
    connect(&f.Dir1, &DirList::changed, this, [&f] { Dir1_Change(f); });

    connect(shown.Drive1, &QComboBox::activated, this,
            [&f](int index) { f.Drive1.pickDrive(f.Drive1.list().item(index)); });
    // The drives are those mounted now: a stick plugged in since start-up
    // is listed, one taken out is gone.
    const auto rereadDrives = [&f] { f.Drive1.updateDrives(DriveList::mountedDrives(), f.Dir1.nativePath()); };
    connect(shown.Drive1, &DriveComboBox::aboutToShowPopup, this, rereadDrives);
    connect(new MountWatcher(this), &MountWatcher::mountsChanged, this, rereadDrives);
    connect(shown.Dir1, &FolderListView::opened, this, [&f](int row) { f.Dir1.open(row); });
    connect(shown.File1, &FileListView::picked, this, [&f] { File1_Click(f); });
    connect(shown.List1, &SelectionListView::filesDropped, this,
            [&f](const QList<QByteArray>& paths) { List1_OLEDragDrop(f, paths); });

    const auto onClick = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(shown.Command4, [&f] { Command4_Click(f); });
    onClick(shown.Command1[0], [&f] { Command1_Click(f, 0); });
    onClick(shown.Command1[1], [&f] { Command1_Click(f, 1); });
    onClick(shown.Command3, [&f] { Command3_Click(f); });
    onClick(shown.Command6, [&f] { Command6_Click(f); });
    onClick(shown.Command8, [&f] { Command8_Click(f); });
    onClick(shown.Command7, [&f] { Command7_Click(f); });
    onClick(shown.Command2[0], [&f] { Command2_Click(f, 1); });
    onClick(shown.Command2[1], [&f] { Command2_Click(f, 2); });

    connect(shown.Check1, &QCheckBox::stateChanged, this,
            [&f](int state) { f.Check1.setValue(state == Qt::Checked ? 1 : 0); });
    connect(shown.Check2, &QCheckBox::stateChanged, this,
            [&f](int state) { f.Check2.setValue(state == Qt::Checked ? 1 : 0); });
}

void MainWindow::setTabOrder()
{
    QWidget* const order[] = {shown.Drive1,     shown.Dir1,        shown.File1,       shown.List1,
                              shown.Command1[0], shown.Command1[1], shown.Text1,       shown.Command2[0],
                              shown.Command2[1], shown.Command3,    shown.Check1,      shown.Check2,
                              shown.Command4,    shown.Command6,    shown.Command7,    shown.Command8};
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
