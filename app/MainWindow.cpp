#include "app/MainWindow.h"

#include "browser/Browser.h"
#include "app/Layout.h"
#include "app/ProgramIcon.h"
#include "widgets/Accessibility.h"
#include "join/Join.h"
#include "ordering/Ordering.h"
#include "selection/Selection.h"
#include "widgets/BrowserViews.h"
#include "widgets/ComboBoxBinding.h"
#include "widgets/GaugeDisplay.h"
#include "widgets/LineEditBinding.h"
#include "widgets/ListBoxModel.h"
#include "toolkit/MountWatcher.h"
#include "widgets/Pacing.h"
#include "widgets/QtMessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>

namespace quibex {

namespace {

template <typename W>
W* named(W* widget, const char* name, const QString& accessibleName)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QFont& font, int left,
              int top, int width, int height)
{
    auto* widget = named(new QLabel(caption, parent), name, caption);
    widget->setFont(font);
    placeTwips(widget, left, top, width, height);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height)
{
    auto* widget = named(new QPushButton(caption, parent), name, caption);
    widget->setFont(boldFont());
    // Enter presses the button that has the focus, as Space does.
    widget->setAutoDefault(true);
    placeTwips(widget, left, top, width, height);
    return widget;
}

}  // namespace

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

MainWindow::~MainWindow()
{
    // The bindings go with the widgets; the controls must not call them after.
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
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

    controls->window.repaint = [this] { refreshWindowPaced(this); };
    controls->window.quit = [this] {
        close();
        QCoreApplication::quit();
    };
    controls->Drive1.setDrives(DriveList::mountedDrives());

    createWidgets();
    wireEvents();
    setTabOrder();
    Form_Load(*controls);
}

void MainWindow::createWidgets()
{
    fmenu& f = *controls;

    auto* drive = named(new DriveComboBox(this), "Drive1", QStringLiteral("Lecteurs"));
    placeTwips(drive, 120, 120, 3495, 315);
    // The drive list has no caption on the screen; screen readers name a
    // drop-down list after the label bound to it, so it gets one they alone read.
    auto* driveCaption = named(new QLabel(QStringLiteral("Lecteurs"), this), "Drive1Caption",
                               QStringLiteral("Lecteurs"));
    driveCaption->setBuddy(drive);
    driveCaption->hide();
    new ComboBoxBinding(f.Drive1.list(), drive);

    auto* folders = named(new FolderListView(this), "Dir1", QStringLiteral("Dossiers"));
    placeTwips(folders, 120, 480, 3495, 2115);
    new ListBoxModel(f.Dir1.list(), folders);

    QLabel* filesCaption = label(this, "Label1", QStringLiteral("Sélectionner les fichiers à concaténer"),
                                 boldFont(), 120, 2640, 3240, 195);
    filesCaption->adjustSize();
    auto* files = named(new FileListView(this), "File1", QStringLiteral("Fichiers du dossier"));
    placeTwips(files, 120, 2880, 3495, 3990);
    filesCaption->setBuddy(files);
    new ListBoxModel(f.File1.list(), files);
    button(this, "Command4", QStringLiteral("Ajouter toute la liste"), 120, 6840, 1935, 375);

    QLabel* selectionCaption =
        label(this, "Label2", QStringLiteral("Fichiers sélectionnés"), boldFont(), 3720, 120, 1800, 195);
    selectionCaption->adjustSize();
    auto* selection = named(new QListView(this), "List1", QStringLiteral("Fichiers sélectionnés"));
    selectionCaption->setBuddy(selection);
    selection->setSelectionMode(QAbstractItemView::SingleSelection);
    selection->setEditTriggers(QAbstractItemView::NoEditTriggers);
    selection->setUniformItemSizes(true);
    placeTwips(selection, 3720, 360, 2655, 5130);
    new ListBoxModel(f.List1, selection);

    button(this, "Command8", QStringLiteral("Tri normal"), 3720, 5520, 1215, 375);
    button(this, "Command7", QStringLiteral("Tri évolué"), 5280, 5520, 1095, 375);

    auto* carriageReturn = named(new QCheckBox(QStringLiteral("Ajout retour chariot (ASCII 13)"), this),
                                 "Check1", QStringLiteral("Ajout retour chariot (ASCII 13)"));
    placeTwips(carriageReturn, 3720, 6000, 3135, 255);
    auto* lineFeed = named(new QCheckBox(QStringLiteral("Ajout changement de ligne (ASCII 10)"), this),
                           "Check2", QStringLiteral("Ajout changement de ligne (ASCII 10)"));
    placeTwips(lineFeed, 3720, 6360, 3255, 255);

    QLabel* nameCaption =
        label(this, "Label3", QStringLiteral("Fichier à créer :"), regularFont(), 3600, 6960, 1095, 195);
    nameCaption->adjustSize();
    auto* name = named(new QLineEdit(this), "Text1", QStringLiteral("Fichier à créer"));
    nameCaption->setBuddy(name);
    placeTwips(name, 4800, 6840, 2055, 285);
    new LineEditBinding(f.Text1, name);

    button(this, "Command1_0", QStringLiteral("Haut"), 6480, 360, 1215, 375);
    button(this, "Command1_1", QStringLiteral("Bas"), 6480, 960, 1215, 375);
    button(this, "Command3", QStringLiteral("Retirer"), 6480, 1680, 1215, 375);
    button(this, "Command6", QStringLiteral("Retirer tout"), 6480, 2280, 1215, 375);
    button(this, "Command2_1", QStringLiteral("Créer"), 6480, 3360, 1215, 375);
    button(this, "Command2_2", QStringLiteral("Quitter"), 6480, 4440, 1215, 375);

    QLabel* fileGaugeCaption = label(this, "Label5", QStringLiteral("Fichier:"), boldFont(), 120, 7320, 735, 255);
    auto* fileGauge = named(new GaugeDisplay(f.jauge, this), "jauge", QStringLiteral("Progression du fichier"));
    placeTwips(fileGauge, 840, 7320, 6855, 285);
    fileGaugeCaption->setBuddy(fileGauge);
    QLabel* joinGaugeCaption = label(this, "Label4", QStringLiteral("% traité:"), boldFont(), 120, 7680, 735, 255);
    auto* joinGauge = named(new GaugeDisplay(f.jauge2, this), "jauge2", QStringLiteral("Progression de la création"));
    placeTwips(joinGauge, 840, 7680, 6855, 285);
    joinGaugeCaption->setBuddy(joinGauge);
}

void MainWindow::wireEvents()
{
    fmenu& f = *controls;
    f.Drive1.onChange = [&f] { Drive1_Change(f); };
    f.Dir1.onChange = [&f] { Dir1_Change(f); };

    auto* drive = findChild<DriveComboBox*>(QStringLiteral("Drive1"));
    connect(drive, &QComboBox::activated, this, [&f](int index) { f.Drive1.pickDrive(f.Drive1.list().item(index)); });
    // The drives are those mounted now: a stick plugged in since start-up
    // is listed, one taken out is gone.
    const auto rereadDrives = [&f] { f.Drive1.updateDrives(DriveList::mountedDrives(), f.Dir1.nativePath()); };
    connect(drive, &DriveComboBox::aboutToShowPopup, this, rereadDrives);
    connect(new MountWatcher(this), &MountWatcher::mountsChanged, this, rereadDrives);
    connect(findChild<FolderListView*>(QStringLiteral("Dir1")), &FolderListView::opened, this,
            [&f](int row) { f.Dir1.open(row); });
    connect(findChild<FileListView*>(QStringLiteral("File1")), &FileListView::picked, this,
            [&f] { File1_Click(f); });

    const auto onClick = [this](const char* name, auto handler) {
        connect(findChild<QPushButton*>(QLatin1String(name)), &QPushButton::clicked, this, handler);
    };
    onClick("Command4", [&f] { Command4_Click(f); });
    onClick("Command1_0", [&f] { Command1_Click(f, 0); });
    onClick("Command1_1", [&f] { Command1_Click(f, 1); });
    onClick("Command3", [&f] { Command3_Click(f); });
    onClick("Command6", [&f] { Command6_Click(f); });
    onClick("Command8", [&f] { Command8_Click(f); });
    onClick("Command7", [&f] { Command7_Click(f); });
    onClick("Command2_1", [&f] { Command2_Click(f, 1); });
    onClick("Command2_2", [&f] { Command2_Click(f, 2); });

    connect(findChild<QCheckBox*>(QStringLiteral("Check1")), &QCheckBox::stateChanged, this,
            [&f](int state) { f.Check1.setValue(state == Qt::Checked ? 1 : 0); });
    connect(findChild<QCheckBox*>(QStringLiteral("Check2")), &QCheckBox::stateChanged, this,
            [&f](int state) { f.Check2.setValue(state == Qt::Checked ? 1 : 0); });
}

void MainWindow::setTabOrder()
{
    static const char* const order[] = {"Drive1", "Dir1",       "File1",    "List1",    "Command1_0", "Command1_1",
                                        "Text1",  "Command2_1", "Command2_2", "Command3", "Check1",     "Check2",
                                        "Command4", "Command6", "Command7", "Command8"};
    QWidget* previous = nullptr;
    for (const char* name : order) {
        QWidget* next = findChild<QWidget*>(QLatin1String(name));
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    findChild<QWidget*>(QStringLiteral("Drive1"))->setFocus(Qt::OtherFocusReason);
}

}  // namespace quibex
