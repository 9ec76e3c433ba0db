// SPDX-License-Identifier: GPL-3.0-or-later
// The real window, driven through its widgets as a user would.
#include "app/MainWindow.h"
#include "selection/Selection.h"
#include "support/FatMount.h"
#include "support/StoppedServer.h"
#include "support/TempTree.h"
#include "support/TmpfsMount.h"
#include "support/window/WindowDriver.h"
#include "support/ScriptedMessageBox.h"
#include "widgets/Pacing.h"

#include <QtTest>

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <cstring>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

// Opens the drive list's drop-down and picks a drive in it with the keyboard.
void pickDrive(QComboBox* drives, const QString& designation)
{
    drives->showPopup();
    drives->view()->setCurrentIndex(drives->model()->index(drives->findText(designation), 0));
    QTest::keyClick(drives->view(), Qt::Key_Return);
}

// The first column of a row where something is drawn in the text colour.
int firstInk(QAbstractItemView* view, int row)
{
    const QImage image = view->viewport()->grab().toImage();
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    const QColor ground = image.pixelColor(rect.right() - 1, rect.center().y());
    for (int x = rect.left(); x < rect.right(); ++x) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < qGray(ground.rgb()) - 96)
                return x;
        }
    }
    return -1;
}

// A name as a list row shows it: control characters as their symbols.
QString shownAs(QString name)
{
    return name.replace(QLatin1Char('\n'), QChar(0x240A));
}

}  // namespace

class WindowTest : public WindowTestBase {
    Q_OBJECT

    TempTree tree;
    ScriptedMessageBox box;

private slots:
    void init()
    {
        tree.file("b.txt", "B");
        tree.file("a.txt", "A");
        tree.file("c.dat", "C");
        tree.file("sous/d.txt", "D");
        tree.folder("cle");  // where a test mounts a volume
        window = std::make_unique<MainWindow>(tree.path(), box);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void isAFixedWindowTitledWithItsVersion()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("QUIBEX 1.4 Fr"));
        QCOMPARE(window->size(), QSize(522, 534));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    // An image of its own at each size drawn: a size made by scaling another
    // blurs its one-pixel lines. An icon whose image failed to load is not
    // null, but gives no pixmap.
    void hasAnIconDrawnForEachSize()
    {
        for (const int side : {16, 22, 24, 32, 48, 64}) {
            QVERIFY(window->windowIcon().availableSizes().contains(QSize(side, side)));
            const QImage image = window->windowIcon().pixmap(side, side).toImage();
            QVERIFY(!image.isNull());
            QCOMPARE(image.size(), QSize(side, side));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);  // transparent surroundings
        }
    }

    void captionsAreFrenchAndFitTheirPlaces()
    {
        const QList<QPair<const char*, QString>> captions = {{"Command4", "Ajouter toute la liste"},
                                                             {"Command8", "Tri normal"},
                                                             {"Command7", "Tri évolué"},
                                                             {"Command1_0", "Haut"},
                                                             {"Command1_1", "Bas"},
                                                             {"Command3", "Retirer"},
                                                             {"Command6", "Retirer tout"},
                                                             {"Command2_1", "Créer"},
                                                             {"Command2_2", "Quitter"}};
        for (const auto& [name, caption] : captions) {
            auto* b = widget<QPushButton>(name);
            QCOMPARE(b->text(), caption);
            QVERIFY(b->font().bold());
            QVERIFY2(b->fontMetrics().horizontalAdvance(caption) + 6 <= b->width(), name);
        }
        QCOMPARE(widget<QLabel>("Label1")->text(), "Sélectionner les fichiers à concaténer");
        QCOMPARE(widget<QLabel>("Label2")->text(), "Fichiers sélectionnés");
        QCOMPARE(widget<QLabel>("Label3")->text(), "Fichier à créer :");
        QVERIFY(!widget<QLabel>("Label3")->font().bold());
        QCOMPARE(widget<QLabel>("Label4")->text(), "% traité:");
        QCOMPARE(widget<QLabel>("Label5")->text(), "Fichier:");
        QCOMPARE(widget<QCheckBox>("Check1")->text(), "Ajout retour chariot (ASCII 13)");
        QCOMPARE(widget<QCheckBox>("Check2")->text(), "Ajout changement de ligne (ASCII 10)");
        // Run again without Liberation Sans (below): the font standing in for it.
        if (qEnvironmentVariableIsSet("QUIBEX_EXPECTED_FONT"))
            QVERIFY(QFontInfo(widget<QWidget>("Check1")->font())
                        .family()
                        .startsWith(qEnvironmentVariable("QUIBEX_EXPECTED_FONT")));
        // In a wider font than the layout was measured with, they are cut at
        // the right.
        for (const char* name : {"Check1", "Check2", "Label4", "Label5"}) {
            auto* w = widget<QWidget>(name);
            QVERIFY2(w->sizeHint().width() <= w->width(), name);
        }
        QVERIFY(widget<QWidget>("Label3")->geometry().right() < widget<QWidget>("Text1")->x());
        QCOMPARE(widget<QWidget>("List1")->geometry(), QRect(248, 24, 177, 342));
    }

    void displaysAreGreyedAndPaintAtOnceWhenAFrameIsDue()
    {
        QVERIFY(!widget<QWidget>("jauge")->isEnabled());
        QVERIFY(!widget<QWidget>("jauge2")->isEnabled());
        // A display the join asks to repaint paints at once, once a frame is
        // due: asked again and again without the event loop running (which
        // would paint it), it paints by itself within a frame.
        window->form().jauge.setText("50% ");
        const long paints = synchronousRepaints();
        const QDeadlineTimer ceiling(std::chrono::seconds(10));
        while (synchronousRepaints() == paints && !ceiling.hasExpired())
            window->form().jauge.refresh();
        QCOMPARE(synchronousRepaints(), paints + 1);
    }

    void everyShownControlHasAFrenchNameAndNoOtherHasAWidget()
    {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        for (const char* hidden : {"List2", "List3", "List4", "List5", "List6", "Text2"})
            QVERIFY(!window->findChild<QWidget*>(QLatin1String(hidden)));
    }

    // Liberation Sans comes with the package, not with an install of the
    // build: the captions fit as well in the other fonts made to Arial's
    // widths, which come before any wider family. The window is looked at
    // again by a run of this test that cannot see the fonts named.
    void captionsFitWithoutLiberation_data()
    {
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Arimo") << QStringList{"Liberation Sans"} << "Arimo";
        QTest::newRow("Nimbus Sans") << QStringList{"Liberation Sans", "Arimo"} << "Nimbus Sans";
    }
    void captionsFitWithoutLiberation()
    {
        QFETCH(QStringList, hidden);
        QFETCH(QString, expected);
        if (!QFontDatabase::hasFamily(expected))
            QSKIP(qPrintable(expected + " is not installed (fonts-croscore, fonts-urw-base35)"));
        QByteArray rejected;
        for (const QString& family : hidden)
            rejected += "<pattern><patelt name=\"family\"><string>" + family.toUtf8()
                + "</string></patelt></pattern>";
        const QByteArray system = qEnvironmentVariableIsSet("FONTCONFIG_FILE")
            ? qgetenv("FONTCONFIG_FILE")
            : QByteArray("/etc/fonts/fonts.conf");
        const QByteArray fonts =
            tree.file("polices/fonts.conf",
                      "<?xml version=\"1.0\"?><fontconfig><include ignore_missing=\"no\">" + system
                          + "</include><selectfont><rejectfont>" + rejected
                          + "</rejectfont></selectfont></fontconfig>");
        QProcess again;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("FONTCONFIG_FILE", QFile::decodeName(fonts));
        environment.insert("QUIBEX_EXPECTED_FONT", expected);
        again.setProcessEnvironment(environment);
        again.setProcessChannelMode(QProcess::MergedChannels);
        again.start(QCoreApplication::applicationFilePath(),
                    {"captionsAreFrenchAndFitTheirPlaces"});
        QVERIFY(again.waitForFinished(-1));
        QVERIFY2(again.exitStatus() == QProcess::NormalExit && again.exitCode() == 0,
                 again.readAll().constData());
    }

    void startsOnItsFolderWithTheDriveListFocused()
    {
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"a.txt", "b.txt", "c.dat"}));
        // Read from the system's mount table: some drive holds the folder,
        // and the drives come in the order of their names.
        QVERIFY(!widget<QComboBox>("Drive1")->currentText().isEmpty());
        const QStringList drives = rows(widget<QComboBox>("Drive1")->view());
        QStringList inOrder = drives;
        std::sort(inOrder.begin(), inOrder.end());
        QCOMPARE(drives, inOrder);
        QVERIFY(widget<QLineEdit>("Text1")->text().isEmpty());
        QVERIFY(rows(widget<QListView>("List1")).isEmpty());
        QTRY_COMPARE(QApplication::focusWidget(), widget<QWidget>("Drive1"));
    }

    void tabVisitsTheControlsInOrder()
    {
        widget<QWidget>("Drive1")->setFocus();
        QStringList visited;
        for (int i = 0; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited,
                 QStringList({"Dir1", "File1", "List1", "Command1_0", "Command1_1", "Text1",
                              "Command2_1", "Command2_2", "Command3", "Check1", "Check2",
                              "Command4", "Command6", "Command7", "Command8", "Drive1"}));
    }

    void buildsTheSelectionWithTheMouse()
    {
        auto* files = widget<QListView>("File1");
        auto* selection = widget<QListView>("List1");
        fmenu& f = window->form();

        auto* name = widget<QLineEdit>("Text1");
        clickRow(files, 1);  // b.txt
        QCOMPARE(rows(selection), QStringList({"b.txt"}));
        QCOMPARE(name->text(), ".txt");
        QCOMPARE(f.Text2.text(), ".txt");
        QCOMPARE(QApplication::focusWidget(), name);
        // What is typed then goes in front of the proposed extension;
        // Tab into the box selects its text, as everywhere.
        QTest::keyClicks(name, "sortie");
        QCOMPARE(f.Text1.text(), "sortie.txt");
        QTest::keyClick(name, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(name->selectedText(), "sortie.txt");
        clickRow(files, 1);  // the same file again: nothing added, highlight removed
        QCOMPARE(rows(selection), QStringList({"b.txt"}));
        QVERIFY(files->selectionModel()->selectedIndexes().isEmpty());

        press("Command4");
        QCOMPARE(rows(selection), QStringList({"b.txt", "a.txt", "c.dat"}));
        QCOMPARE(f.List2.count(), 3);
        QCOMPARE(f.List2.item(2), QString::fromUtf8(tree.path()));

        clickRow(selection, 2);
        QCOMPARE(f.List1.listIndex(), 2);
        press("Command1_0");  // Haut
        QCOMPARE(rows(selection), QStringList({"b.txt", "c.dat", "a.txt"}));
        QCOMPARE(selection->currentIndex().row(), 1);
        press("Command1_0");
        press("Command1_1");  // Bas
        QCOMPARE(rows(selection), QStringList({"b.txt", "c.dat", "a.txt"}));
        press("Command3");  // Retirer c.dat
        QCOMPARE(rows(selection), QStringList({"b.txt", "a.txt"}));
        QCOMPARE(f.List1.listIndex(), 1);
        QVERIFY(selection->selectionModel()->isSelected(selection->model()->index(1, 0)));
        press("Command6");  // Retirer tout
        QVERIFY(rows(selection).isEmpty());
        QCOMPARE(f.List2.count(), 0);
        QCOMPARE(name->text(), "sortie.txt");
        QVERIFY(box.shown().empty());
    }

    // A keyboard user comes into the file list with Tab: its first file gets
    // the focus frame, not a highlight, and the first arrow press, Down or
    // Up, picks it. A frame moved with Ctrl stays where it was put while the
    // focus goes away and back: Down then moves on from there.
    void keyboardPicksTheFirstFile_data()
    {
        QTest::addColumn<bool>("ctrlFirst");
        QTest::addColumn<int>("firstArrow");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("atTheEnd");
        QTest::newRow("Down first") << false << int(Qt::Key_Down) << QStringList{"a.txt"}
                                    << QStringList{"a.txt", "b.txt", "c.dat"};
        QTest::newRow("Up first") << false << int(Qt::Key_Up) << QStringList{"a.txt"}
                                  << QStringList{"a.txt", "b.txt", "c.dat"};
        QTest::newRow("frame moved with Ctrl, list left and re-entered")
            << true << int(Qt::Key_Down) << QStringList{"c.dat"} << QStringList{"c.dat"};
    }
    void keyboardPicksTheFirstFile()
    {
        QFETCH(bool, ctrlFirst);
        QFETCH(int, firstArrow);
        QFETCH(QStringList, first);
        QFETCH(QStringList, atTheEnd);
        auto* files = widget<QListView>("File1");
        widget<QWidget>("Dir1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), files);
        QVERIFY(files->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(window->form().File1.listIndex(), -1);
        QVERIFY(rows(widget<QListView>("List1")).isEmpty());
        if (ctrlFirst)
            QTest::keyClick(files, Qt::Key_Down, Qt::ControlModifier);
        // Passing on and coming back keeps the frame where it stood.
        QTest::keyClick(files, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), files);
        QVERIFY(rows(widget<QListView>("List1")).isEmpty());

        QTest::keyClick(files, Qt::Key(firstArrow));
        QCOMPARE(rows(widget<QListView>("List1")), first);
        QTest::keyClick(files, Qt::Key_Down);
        QTest::keyClick(files, Qt::Key_End);
        QCOMPARE(rows(widget<QListView>("List1")), atTheEnd);
    }

    // Ctrl with an arrow, Home or End moves the focus frame alone: the
    // keyboard reaches the third file without picking the two before it.
    void ctrlMovesTheFrameWithoutPicking()
    {
        auto* files = widget<QListView>("File1");
        widget<QWidget>("Dir1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(files, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(files, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(files, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(files, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(files, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(files->currentIndex().row(), 2);
        QVERIFY(rows(widget<QListView>("List1")).isEmpty());
        QVERIFY(files->selectionModel()->selectedIndexes().isEmpty());
        QTest::keyClick(files, Qt::Key_Space);
        QCOMPARE(rows(widget<QListView>("List1")), QStringList({"c.dat"}));
    }

    // Letters move the focus frame to the next file whose name begins with
    // what was typed, the letters of a moment making one search; like Ctrl
    // with an arrow, they pick nothing, not even the highlighted file they
    // land on. Space then picks the framed file.
    void lettersMoveTheFrameWithoutPicking()
    {
        for (const char* name : {"partie1.txt", "partie10.txt", "partie2.txt"})
            tree.file(QByteArray("parties/") + name);
        fmenu& f = window->form();
        f.Dir1.setPath(tree.path("parties"));
        // However slowly the test runs, its letters are typed within a moment.
        const int moment = QApplication::keyboardInputInterval();
        const auto restore =
            qScopeGuard([moment] { QApplication::setKeyboardInputInterval(moment); });
        QApplication::setKeyboardInputInterval(3600 * 1000);
        auto* files = widget<QListView>("File1");
        auto* selection = widget<QListView>("List1");
        widget<QWidget>("Dir1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(files, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(files, Qt::Key_Space);
        QCOMPARE(rows(selection), QStringList({"partie10.txt"}));

        files->setFocus();
        QTest::keyClick(files, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClicks(files, "partie");  // the next file that begins so: the highlighted one
        QCOMPARE(files->currentIndex().row(), 1);
        QCOMPARE(QApplication::focusWidget(), files);
        QTest::keyClicks(files, "2");
        QCOMPARE(files->currentIndex().data().toString(), "partie2.txt");
        QCOMPARE(f.File1.listIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), files);
        QTest::keyClick(files, Qt::Key_Space);
        QCOMPARE(rows(selection), QStringList({"partie10.txt", "partie2.txt"}));
        QCOMPARE(f.Text1.text(), ".txt");
    }

    // Coming into the selection with Tab frames its first entry; the first
    // arrow, Down or Up, highlights that entry, the next Down the entry
    // after it.
    void keyboardReachesTheFirstEntry_data()
    {
        QTest::addColumn<int>("firstArrow");
        QTest::newRow("Down first") << int(Qt::Key_Down);
        QTest::newRow("Up first") << int(Qt::Key_Up);
    }
    void keyboardReachesTheFirstEntry()
    {
        QFETCH(int, firstArrow);
        press("Command4");
        auto* selection = widget<QListView>("List1");
        widget<QWidget>("File1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), selection);
        QCOMPARE(window->form().List1.listIndex(), -1);
        QTest::keyClick(selection, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), selection);
        QTest::keyClick(selection, Qt::Key(firstArrow));
        QCOMPARE(window->form().List1.listIndex(), 0);
        QTest::keyClick(selection, Qt::Key_Down);
        QCOMPARE(window->form().List1.listIndex(), 1);
    }

    // An empty list with the focus draws a focus frame.
    void emptyListsShowTheirFocus_data()
    {
        QTest::addColumn<QString>("list");
        QTest::newRow("selection") << "List1";
        QTest::newRow("file list") << "File1";
    }
    void emptyListsShowTheirFocus()
    {
        QFETCH(QString, list);
        window->form().Dir1.setPath(tree.path("cle"));  // a folder without files
        auto* view = widget<QListView>(qPrintable(list));
        QCOMPARE(view->model()->rowCount(), 0);
        widget<QWidget>("Drive1")->setFocus();
        const QImage without = view->viewport()->grab().toImage();
        view->setFocus(Qt::TabFocusReason);
        QVERIFY(view->hasFocus());
        QVERIFY(view->viewport()->grab().toImage() != without);
    }

    // Space and Enter pick the file under the focus frame, as a click on it
    // does; Enter presses a focused button.
    void spaceAndEnterPick()
    {
        auto* files = widget<QListView>("File1");
        widget<QWidget>("Dir1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(files, Qt::Key_Return);
        QCOMPARE(rows(widget<QListView>("List1")), QStringList({"a.txt"}));
        QTest::keyClick(files, Qt::Key_Space);  // picked again: nothing added, highlight removed
        QCOMPARE(window->form().File1.listIndex(), -1);
        QVERIFY(files->selectionModel()->selectedIndexes().isEmpty());
        files->selectionModel()->setCurrentIndex(files->model()->index(2, 0),
                                                 QItemSelectionModel::NoUpdate);
        QTest::keyClick(files, Qt::Key_Space);
        QCOMPARE(rows(widget<QListView>("List1")), QStringList({"a.txt", "c.dat"}));

        auto* removeAll = widget<QPushButton>("Command6");
        removeAll->setFocus();
        QTest::keyClick(removeAll, Qt::Key_Return);
        QVERIFY(rows(widget<QListView>("List1")).isEmpty());
    }

    // What the commands take for highlighted is what the lists show: an
    // entry unhighlighted with Ctrl is no longer acted on.
    void unhighlightedEntriesAreLeftAlone()
    {
        fmenu& f = window->form();
        auto* files = widget<QListView>("File1");
        clickRow(files, 1);  // b.txt, added and highlighted
        QCOMPARE(f.File1.listIndex(), 1);
        QTest::keyClick(files, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(f.File1.listIndex(), -1);
        QVERIFY(f.File1.fileName().isEmpty());

        auto* selection = widget<QListView>("List1");
        press("Command4");
        clickRow(selection, 1);
        QCOMPARE(f.List1.listIndex(), 1);
        QTest::mouseClick(selection->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          rowCenter(selection, 1));
        QVERIFY(selection->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(f.List1.listIndex(), -1);
        press("Command3");    // Retirer
        press("Command1_0");  // Haut
        QCOMPARE(rows(selection), QStringList({"b.txt", "a.txt", "c.dat"}));
    }

    void typedNameAndOptionsReachTheControls()
    {
        auto* name = widget<QLineEdit>("Text1");
        QTest::keyClicks(name, "tout.txt");
        QCOMPARE(window->form().Text1.text(), "tout.txt");
        // Screen readers, dictation and on-screen keyboards set the text
        // through the accessibility interface.
        QAccessible::queryAccessibleInterface(name)->setText(QAccessible::Value, "dicté.txt");
        QCOMPARE(window->form().Text1.text(), "dicté.txt");
        QTest::mouseClick(widget<QCheckBox>("Check2"), Qt::LeftButton);
        QCOMPARE(window->form().Check2.value(), 1);
        QCOMPARE(window->form().Check1.value(), 0);
    }

    // Rows hold the folders' names; the depth is drawn as an indent, and
    // typing a name's first letters moves to it.
    void foldersReadAsATree()
    {
        auto* folders = widget<QListView>("Dir1");
        const qsizetype sub = rows(folders).indexOf("sous");
        QVERIFY2(sub > 1, qPrintable(rows(folders).join('|')));
        QVERIFY(firstInk(folders, sub) > firstInk(folders, 0) + 10);
        folders->setFocus();
        QTest::keyClicks(folders, "so");
        QCOMPARE(folders->currentIndex().row(), sub);
        QCOMPARE(window->form().Dir1.nativePath(), tree.path());  // moved to, not opened
    }

    void foldersOpenOnDoubleClickOnly()
    {
        auto* folders = widget<QListView>("Dir1");
        const qsizetype sub = rows(folders).indexOf(QRegularExpression("\\s*sous"));
        QVERIFY(sub > 0);
        clickRow(folders, sub);
        QCOMPARE(window->form().File1.nativePath(), tree.path());
        doubleClickRow(folders, sub);
        QCOMPARE(window->form().Dir1.nativePath(), tree.path("sous"));
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"d.txt"}));
    }

    // A line feed in a name would split its row in two, the second line
    // passing for another folder: rows show it as a symbol, on one line,
    // and opening the row still opens that very folder.
    void namesWithLineFeedsStayOnOneLine()
    {
        tree.folder("ligne\ndeux");
        tree.file("ligne\ndeux/un\ntrois.txt");
        fmenu& f = window->form();
        f.Dir1.setPath(tree.path());
        auto* folders = widget<QListView>("Dir1");
        const qsizetype row =
            rows(folders).indexOf(QRegularExpression(QStringLiteral("\\s*ligne\u240Adeux")));
        QVERIFY2(row > 0, qPrintable(rows(folders).join('|')));
        const int height = folders->visualRect(folders->model()->index(0, 0)).height();
        QCOMPARE(folders->visualRect(folders->model()->index(row, 0)).height(), height);
        doubleClickRow(folders, row);
        QCOMPARE(f.Dir1.nativePath(), tree.path("ligne\ndeux"));
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"un\u240Atrois.txt"}));
    }

    // A volume mounted while the program runs: listed once the drop-down
    // opens, shown as the drive when the folder list enters it, gone from the
    // list once unmounted, the folder list then back on the drive shown; each
    // drive keeps its folder throughout. A mount point's name shows as the
    // folder list shows names, and its bytes still name that drive.
    void drivesFollowMountsAndFolders_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain name") << QByteArray("cle");
        QTest::newRow("line feed") << QByteArray("cle\nligne");
        QTest::newRow("not UTF-8") << QByteArray("cle\xff\xe9");
        // The mount table writes it as an escape of its own (\134).
        QTest::newRow("backslash") << QByteArray("cle\\sauve");
    }
    void drivesFollowMountsAndFolders()
    {
        QFETCH(QByteArray, name);
        TmpfsMount volume(tree.folder(name));
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.whyNot()));
        tree.file(name + "/photos/p.jpg");
        fmenu& f = window->form();
        f.Dir1.setPath(tree.path());  // the folder list reads the new folder
        auto* drives = widget<QComboBox>("Drive1");
        auto* folders = widget<QListView>("Dir1");
        const QString home = drives->currentText();
        const QString stick = shownAs(QFile::decodeName(tree.path(name)));
        const auto row = [](const QString& shownName) {
            return QRegularExpression("\\s*" + QRegularExpression::escape(shownName));
        };
        QCOMPARE(home, f.Drive1.driveOf(tree.path()));

        drives->showPopup();
        QVERIFY2(rows(drives->view()).contains(stick), qPrintable(rows(drives->view()).join('|')));
        drives->hidePopup();
        doubleClickRow(folders, rows(folders).indexOf(row(shownAs(QFile::decodeName(name)))));
        QCOMPARE(f.Dir1.nativePath(), tree.path(name));
        QCOMPARE(drives->currentText(), stick);
        doubleClickRow(folders, rows(folders).indexOf(row("photos")));
        QCOMPARE(drives->currentText(), stick);

        pickDrive(drives, home);
        QCOMPARE(f.Dir1.nativePath(), tree.path());
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"a.txt", "b.txt", "c.dat"}));
        pickDrive(drives, stick);
        QCOMPARE(f.Dir1.nativePath(), tree.path(name + "/photos"));
        // The folder shown goes; picking the drive shown again moves to its root.
        QVERIFY2(unlink(tree.path(name + "/photos/p.jpg").constData()) == 0, strerror(errno));
        QVERIFY2(rmdir(tree.path(name + "/photos").constData()) == 0, strerror(errno));
        pickDrive(drives, stick);
        QCOMPARE(f.Dir1.nativePath(), tree.path(name));

        QVERIFY(volume.unmount());
        QTRY_VERIFY_WITH_TIMEOUT(!rows(drives->view()).contains(stick), MountEventCeiling);
        QCOMPARE(drives->currentText(), home);
        QCOMPARE(f.Dir1.nativePath(), tree.path());
        QCOMPARE(f.File1.nativePath(), tree.path());
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"a.txt", "b.txt", "c.dat"}));
    }

    // A volume that no longer answers (its server stopped) holds whoever
    // touches it for as long as it likes. The window reads the drives again
    // at each mount and as the drop-down opens without waiting on it: the
    // stopped volume is listed, one mounted after it is listed too, and
    // picking or opening the stopped one is refused like any drive that
    // cannot be read. Already inside it, opening a folder there, picking a
    // file of it or dropping one of its files are refused alike, in a
    // bounded time.
    void aStoppedVolumeNeverHoldsTheWindow()
    {
        FatMount fat(tree.folder("fige"));
        if (!fat.isMounted())
            QSKIP(qPrintable(fat.whyNot()));
        fmenu& f = window->form();
        auto* drives = widget<QComboBox>("Drive1");
        auto* folders = widget<QListView>("Dir1");
        auto* files = widget<QListView>("File1");
        const QString home = drives->currentText();
        const QString hung = QString::fromUtf8(fat.folder());
        QTRY_VERIFY_WITH_TIMEOUT(rows(drives->view()).contains(hung), MountEventCeiling);
        const QByteArray held = tree.file("fige/a.txt", "a");
        tree.folder("fige/sous");
        const QByteArray link = tree.path("vers-fige.txt");
        QVERIFY(symlink(held.constData(), link.constData()) == 0);
        const auto unlinked = qScopeGuard([&] { unlink(link.constData()); });
        pickDrive(drives, hung);
        QCOMPARE(f.Dir1.nativePath(), fat.folder());

        StoppedServer stopped(fat.server());
        QVERIFY(stopped.isStopped());
        doubleClickRow(folders, rows(folders).indexOf(QRegularExpression("\\s*sous")));
        QCOMPARE(f.Dir1.nativePath(), fat.folder());
        clickRow(files, rows(files).indexOf("a.txt"));
        // Asked once and not answered, the volume is not asked again: as
        // many drops as there are threads to ask volumes leave the others
        // free for the volumes that answer.
        for (int drop = 0; drop < 10; ++drop)
            List1_OLEDragDrop(f, {held});
        QCOMPARE(f.List1.count(), 0);

        TmpfsMount volume(tree.path("cle"));
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.whyNot()));
        const QString stick = QString::fromUtf8(tree.path("cle"));
        QTRY_VERIFY_WITH_TIMEOUT(rows(drives->view()).contains(stick), MountEventCeiling);
        QVERIFY(rows(drives->view()).contains(hung));
        drives->showPopup();
        drives->hidePopup();
        pickDrive(drives, stick);
        QCOMPARE(f.Dir1.nativePath(), tree.path("cle"));
        pickDrive(drives, hung);
        QCOMPARE(drives->currentText(), stick);
        QCOMPARE(f.Dir1.nativePath(), tree.path("cle"));
        // A folder holding a link into the stopped volume still opens, the
        // link left out like a broken one.
        pickDrive(drives, home);
        QCOMPARE(f.Dir1.nativePath(), tree.path());
        QVERIFY(rows(files).contains("b.txt"));
        QVERIFY(!rows(files).contains("vers-fige.txt"));
        QVERIFY2(!stopped.wasWaitedOn(), "the window waited on the stopped volume");
    }

    // Files dragged from a file manager go to the end of the selection, each
    // with its own folder as bytes; folders and remote files are left out,
    // and a drag of nothing usable is refused. The list is framed meanwhile.
    void droppedFilesJoinTheSelection()
    {
        const QByteArray odd = tree.file("l\xe0/caf\xe9 1%.txt", "L");
        QMimeData drag;
        drag.setData("text/uri-list",
                     "file://" + odd.toPercentEncoding("/")
                         + "\r\n# comment\r\n"
                           "http://exemple.org/x.txt\r\nfile://"
                         + tree.path("sous") + "\r\nfile://localhost" + tree.path("b.txt")
                         + "\r\n");
        QMimeData remote;
        remote.setData("text/uri-list", "http://exemple.org/x.txt\r\n");
        auto* selection = widget<QListView>("List1");
        QWidget* target = selection->viewport();
        const QPoint at = target->rect().center();
        const QImage idle = target->grab().toImage();

        QDragEnterEvent refused(at, Qt::CopyAction, &remote, Qt::LeftButton, {});
        QApplication::sendEvent(target, &refused);
        QVERIFY(!refused.isAccepted());
        QDragEnterEvent enter(at, Qt::CopyAction, &drag, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(target->grab().toImage() != idle);
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
        QCOMPARE(target->grab().toImage(), idle);
        QApplication::sendEvent(target, &enter);
        // The file manager the files come from stays in front: the name
        // box takes the focus for when the user comes back.
        QWidget fileManager;
        fileManager.show();
        fileManager.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &fileManager);
        QDropEvent drop(at, Qt::CopyAction, &drag, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QTest::qWait(0);
        QCOMPARE(QApplication::activeWindow(), &fileManager);
        QCOMPARE(window->focusWidget(), widget<QWidget>("Text1"));

        fmenu& f = window->form();
        QCOMPARE(rows(selection), QStringList({QStringLiteral("caf\uFFFD 1%.txt"), "b.txt"}));
        QCOMPARE(entryNativePath(f, 0), odd);
        QCOMPARE(entryNativePath(f, 1), tree.path("b.txt"));
        QCOMPARE(f.Text1.text(), ".txt");
    }

    // A folder dropped on the folder list opens there, a file dropped there
    // opens its folder: the first of the paths dropped that opens. A drop
    // of nothing that opens leaves the list where it was ("cle"). The
    // selection is not touched.
    void droppedFoldersOpen_data()
    {
        QTest::addColumn<QByteArrayList>("dropped");
        QTest::addColumn<QByteArray>("opened");
        // clang-format off
        QTest::newRow("folder") << QByteArrayList{"sous"} << QByteArray("sous");
        QTest::newRow("file") << QByteArrayList{"sous/d.txt"} << QByteArray("sous");
        QTest::newRow("first that opens") << QByteArrayList{"parti/x.txt", "sous/d.txt", "a.txt"} << QByteArray("sous");
        QTest::newRow("nothing opens") << QByteArrayList{"parti/x.txt"} << QByteArray("cle");
        // clang-format on
    }
    void droppedFoldersOpen()
    {
        QFETCH(QByteArrayList, dropped);
        QFETCH(QByteArray, opened);
        fmenu& f = window->form();
        f.Dir1.setPath(tree.path("cle"));
        QByteArray uris;
        for (const QByteArray& path : dropped)
            uris += "file://" + tree.path(path).toPercentEncoding("/") + "\r\n";
        QVERIFY(dropUris(widget<QListView>("Dir1")->viewport(), uris));
        QCOMPARE(f.Dir1.nativePath(), tree.path(opened));
        QCOMPARE(f.File1.nativePath(), tree.path(opened));
        QVERIFY(rows(widget<QListView>("List1")).isEmpty());
    }

    // The file list shows every file of its folder; "Ajouter toute la liste"
    // stops at what the selection holds.
    void fileListShowsEveryFile()
    {
        // Files are made many times faster on a volume in memory, where there is one.
        const QByteArray many = tree.folder("beaucoup");
        const TmpfsMount fast(many, "size=64m");
        for (int i = 0; i <= ListBox::MaxItems; ++i) {
            const int made =
                open((many + "/f" + QByteArray::number(i)).constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY2(made >= 0, strerror(errno));
            close(made);
        }
        window->form().Dir1.setPath(many);
        QCOMPARE(widget<QListView>("File1")->model()->rowCount(), ListBox::MaxItems + 1);
        press("Command4");
        QCOMPARE(widget<QListView>("List1")->model()->rowCount(), ListBox::MaxItems);
    }

    void quitEndsTheProgram()
    {
        QSignalSpy ended(&window->form().window, &Surface::endRequested);
        press("Command2_2");
        QCOMPARE(ended.count(), 1);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
