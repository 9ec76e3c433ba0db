// The real window, driven through its widgets as a user would.
#include "app/MainWindow.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"
#include "toolkit/ScriptedMessageBox.h"

#include <QtTest>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

using namespace quibex;
using namespace quibex::test;

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
        window = std::make_unique<MainWindow>(tree.path(), box);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void looksAsDesigned()
    {
        QCOMPARE(window->windowTitle(), "QUIBEX 1.4 Fr");
        QCOMPARE(window->size(), QSize(522, 534));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!window->windowIcon().isNull());
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));

        const QList<QPair<const char*, QString>> captions = {
            {"Command4", "Ajouter toute la liste"}, {"Command8", "Tri normal"}, {"Command7", "Tri évolué"},
            {"Command1_0", "Haut"}, {"Command1_1", "Bas"}, {"Command3", "Retirer"},
            {"Command6", "Retirer tout"}, {"Command2_1", "Créer"}, {"Command2_2", "Quitter"}};
        for (const auto& [name, caption] : captions) {
            auto* b = widget<QPushButton>(name);
            QCOMPARE(b->text(), caption);
            QVERIFY(b->font().bold());
            // The caption fits its button.
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
        QCOMPARE(widget<QWidget>("List1")->geometry(), QRect(248, 24, 177, 342));
        QVERIFY(!widget<QWidget>("jauge")->isEnabled());
        QVERIFY(!widget<QWidget>("jauge2")->isEnabled());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        // The never-shown controls have no widget at all.
        for (const char* hidden : {"List2", "List3", "List4", "List5", "List6", "Text2"})
            QVERIFY(!window->findChild<QWidget*>(QLatin1String(hidden)));
    }

    void startsOnItsFolderWithTheDriveListFocused()
    {
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"a.txt", "b.txt", "c.dat"}));
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
        QCOMPARE(visited, QStringList({"Dir1", "File1", "List1", "Command1_0", "Command1_1", "Text1", "Command2_1",
                                       "Command2_2", "Command3", "Check1", "Check2", "Command4", "Command6",
                                       "Command7", "Command8", "Drive1"}));
    }

    void buildsTheSelectionWithTheMouse()
    {
        auto* files = widget<QListView>("File1");
        auto* selection = widget<QListView>("List1");
        fmenu& f = window->form();

        clickRow(files, 1);  // b.txt
        QCOMPARE(rows(selection), QStringList({"b.txt"}));
        QCOMPARE(widget<QLineEdit>("Text1")->text(), ".txt");
        QCOMPARE(f.Text2.text(), ".txt");
        QCOMPARE(QApplication::focusWidget(), widget<QWidget>("Text1"));
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
        QCOMPARE(widget<QLineEdit>("Text1")->text(), ".txt");
        QVERIFY(box.shown().empty());
    }

    void keyboardMovesPickToo()
    {
        auto* files = widget<QListView>("File1");
        files->setFocus();
        // Taking the focus puts Qt's cursor on the first file without picking it.
        QTest::keyClick(files, Qt::Key_Down);
        QTest::keyClick(files, Qt::Key_Down);
        QTest::keyClick(files, Qt::Key_Home);
        QCOMPARE(rows(widget<QListView>("List1")), QStringList({"b.txt", "c.dat", "a.txt"}));
    }

    void typedNameAndOptionsReachTheControls()
    {
        QTest::keyClicks(widget<QLineEdit>("Text1"), "tout.txt");
        QCOMPARE(window->form().Text1.text(), "tout.txt");
        QTest::mouseClick(widget<QCheckBox>("Check2"), Qt::LeftButton);
        QCOMPARE(window->form().Check2.value(), 1);
        QCOMPARE(window->form().Check1.value(), 0);
    }

    void foldersOpenOnDoubleClickOnly()
    {
        auto* folders = widget<QListView>("Dir1");
        const int sub = rows(folders).indexOf(QRegularExpression("\\s*sous"));
        QVERIFY(sub > 0);
        clickRow(folders, sub);
        QCOMPARE(window->form().File1.nativePath(), tree.path());
        doubleClickRow(folders, sub);
        QCOMPARE(window->form().Dir1.nativePath(), tree.path("sous"));
        QCOMPARE(rows(widget<QListView>("File1")), QStringList({"d.txt"}));
    }

    void quitEndsTheProgram()
    {
        press("Command2_2");
        QVERIFY(window->form().window.hasEnded());
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
