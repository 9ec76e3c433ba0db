// SPDX-License-Identifier: GPL-3.0-or-later
// The window's widgets, each placed where the form's layout puts it, named
// after its control and bound to it.
#include "app/Layout.h"
#include "app/MainWindow.h"
#include "widgets/BrowserViews.h"
#include "widgets/ComboBoxBinding.h"
#include "widgets/FolderListModel.h"
#include "widgets/GaugeDisplay.h"
#include "widgets/LineEditBinding.h"
#include "widgets/ListBoxModel.h"
#include "widgets/SelectionListView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace quibex {

namespace {

template <typename W>
W* named(W* widget, const char* name, const QString& accessibleName)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QFont& font,
              int left, int top, int width, int height)
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

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height)
{
    auto* widget = named(new QCheckBox(caption, parent), name, caption);
    placeTwips(widget, left, top, width, height);
    return widget;
}

// A progress display and its caption. The display's own name says what its
// percentage counts; the caption is not bound to it, or screen readers
// would say both, the caption's word twice over.
GaugeDisplay* gauge(QWidget* parent, TextBox& box, const char* name, const QString& accessibleName,
                    const char* captionName, const QString& caption, int top)
{
    label(parent, captionName, caption, boldFont(), 120, top, 735, 255);
    auto* widget = named(new GaugeDisplay(box, parent), name, accessibleName);
    placeTwips(widget, 840, top, 6855, 285);
    return widget;
}

}  // namespace

void MainWindow::createBrowser()
{
    fmenu& f = *controls;
    shown.Drive1 = named(new DriveComboBox(this), "Drive1", QStringLiteral("Lecteurs"));
    placeTwips(shown.Drive1, 120, 120, 3495, 315);
    // The drive list has no caption on the screen; screen readers name a
    // drop-down list after the label bound to it, so it gets one they alone read.
    auto* driveCaption = named(new QLabel(QStringLiteral("Lecteurs"), this), "Drive1Caption",
                               QStringLiteral("Lecteurs"));
    driveCaption->setBuddy(shown.Drive1);
    driveCaption->hide();
    new ComboBoxBinding(f.Drive1.list(), shown.Drive1);

    shown.Dir1 = named(new FolderListView(this), "Dir1", QStringLiteral("Dossiers"));
    placeTwips(shown.Dir1, 120, 480, 3495, 2115);
    new FolderListModel(f.Dir1, shown.Dir1);

    QLabel* filesCaption =
        label(this, "Label1", QStringLiteral("Sélectionner les fichiers à concaténer"), boldFont(),
              120, 2640, 3240, 195);
    filesCaption->adjustSize();
    shown.File1 = named(new FileListView(this), "File1", QStringLiteral("Fichiers du dossier"));
    placeTwips(shown.File1, 120, 2880, 3495, 3990);
    filesCaption->setBuddy(shown.File1);
    new ListBoxModel(f.File1.list(), shown.File1);
    shown.Command4 =
        button(this, "Command4", QStringLiteral("Ajouter toute la liste"), 120, 6840, 1935, 375);
}

void MainWindow::createSelection()
{
    fmenu& f = *controls;
    QLabel* selectionCaption = label(this, "Label2", QStringLiteral("Fichiers sélectionnés"),
                                     boldFont(), 3720, 120, 1800, 195);
    selectionCaption->adjustSize();
    shown.List1 =
        named(new SelectionListView(this), "List1", QStringLiteral("Fichiers sélectionnés"));
    selectionCaption->setBuddy(shown.List1);
    placeTwips(shown.List1, 3720, 360, 2655, 5130);
    new ListBoxModel(f.List1, shown.List1);

    shown.Command8 = button(this, "Command8", QStringLiteral("Tri normal"), 3720, 5520, 1215, 375);
    shown.Command7 = button(this, "Command7", QStringLiteral("Tri évolué"), 5280, 5520, 1095, 375);

    shown.Check1 = checkBox(this, "Check1", QStringLiteral("Ajout retour chariot (ASCII 13)"), 3720,
                            6000, 3135, 255);
    shown.Check2 = checkBox(this, "Check2", QStringLiteral("Ajout changement de ligne (ASCII 10)"),
                            3720, 6360, 3255, 255);

    QLabel* nameCaption = label(this, "Label3", QStringLiteral("Fichier à créer :"), regularFont(),
                                3600, 6960, 1095, 195);
    nameCaption->adjustSize();
    shown.Text1 = named(new QLineEdit(this), "Text1", QStringLiteral("Fichier à créer"));
    nameCaption->setBuddy(shown.Text1);
    placeTwips(shown.Text1, 4800, 6840, 2055, 285);
    new LineEditBinding(f.Text1, shown.Text1, [this] { return isBusy(); });
}

void MainWindow::createCommands()
{
    fmenu& f = *controls;
    shown.Command1[0] = button(this, "Command1_0", QStringLiteral("Haut"), 6480, 360, 1215, 375);
    shown.Command1[1] = button(this, "Command1_1", QStringLiteral("Bas"), 6480, 960, 1215, 375);
    shown.Command3 = button(this, "Command3", QStringLiteral("Retirer"), 6480, 1680, 1215, 375);
    shown.Command6 =
        button(this, "Command6", QStringLiteral("Retirer tout"), 6480, 2280, 1215, 375);
    shown.Command2[1] = button(this, "Command2_1", QStringLiteral("Créer"), 6480, 3360, 1215, 375);
    // How to stop a join, told without a caption of its own: on hovering,
    // and to a screen reader as the button's description.
    shown.Command2[1]->setToolTip(QStringLiteral("Échap arrête la création en cours."));
    shown.Command2[2] =
        button(this, "Command2_2", QStringLiteral("Quitter"), 6480, 4440, 1215, 375);

    // "Fichier:" shows how much of the file being copied is done, "% traité:"
    // how many of the selected files are joined. Heard alone, the captions
    // would name a file that is not there and a percentage of nothing said.
    shown.jauge = gauge(this, f.jauge, "jauge", QStringLiteral("Fichier en cours"), "Label5",
                        QStringLiteral("Fichier:"), 7320);
    shown.jauge2 = gauge(this, f.jauge2, "jauge2", QStringLiteral("Fichiers traités"), "Label4",
                         QStringLiteral("% traité:"), 7680);
}

}  // namespace quibex
