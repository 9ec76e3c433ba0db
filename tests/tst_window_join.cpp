// SPDX-License-Identifier: GPL-3.0-or-later
// A join made through the real window and the real dialogs, from start to
// end: add a folder, sort it both ways, type a name, create, answer the dialogs.
#include "app/MainWindow.h"
#include "support/TempTree.h"
#include "support/window/WindowDriver.h"

#include <QtTest>

#include <QAbstractItemView>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace quibex;
using namespace quibex::test;

namespace {

struct SeenDialog {
    QString title;
    QString text;
    QString shown;  // the text as the box renders it, markup applied if it took the text for markup
    QString defaultButton;
    bool critical = false;
};

// Answers the next message box by pressing the named button, once it is
// up; then, if asked, the one after it.
void answerNextDialog(const QString& button, SeenDialog* seen, const QString& thenButton = {},
                      SeenDialog* thenSeen = nullptr)
{
    QTimer::singleShot(20, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            answerNextDialog(button, seen, thenButton, thenSeen);
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            seen->shown = QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        seen->critical = box->icon() == QMessageBox::Critical;
        if (box->defaultButton())
            seen->defaultButton = box->defaultButton()->text();
        if (thenSeen)
            answerNextDialog(thenButton, thenSeen);
        box->findChild<QPushButton*>(button)->click();
    });
}


}  // namespace

class WindowJoinTest : public WindowTestBase {
    Q_OBJECT

    TempTree tree;

private slots:
    void init()
    {
        window = std::make_unique<MainWindow>(tree.path("dossier"));
    }

    void initTestCase()
    {
        tree.file("dossier/Scan10.jpg", "<dix>");
        tree.file("dossier/scan9.jpg", "<neuf>");
        tree.file("dossier/SCAN1.jpg", "<un>");
        tree.file("dossier/scan1.jpg", "<un minuscule>");
    }

    void cleanup() { window.reset(); }

    // After "Tri normal" the names show in lower case (SCAN1.jpg and
    // scan1.jpg alike), yet each entry still joins the file it was picked as.
    void sortsThenCreates()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* selection = widget<QAbstractItemView>("List1");

        press("Command4");
        QCOMPARE(rows(selection), QStringList({"SCAN1.jpg", "scan1.jpg", "Scan10.jpg", "scan9.jpg"}));
        press("Command8");  // Tri normal
        QCOMPARE(rows(selection), QStringList({"scan1.jpg", "scan1.jpg", "scan10.jpg", "scan9.jpg"}));
        press("Command7");  // Tri évolué
        QCOMPARE(rows(selection), QStringList({"scan1.jpg", "scan1.jpg", "scan9.jpg", "scan10.jpg"}));

        auto* name = widget<QLineEdit>("Text1");
        QCOMPARE(name->text(), ".jpg");
        SeenDialog refused;
        answerNextDialog("OK", &refused);
        press("Command2_1");  // the proposal alone is no name
        QCOMPARE(refused.text, "Donnez un nom au fichier à créer !");
        QCOMPARE(refused.title, "Contrôle");
        QVERIFY(refused.critical);

        name->setFocus();
        QTest::keyClick(name, Qt::Key_Home);
        QTest::keyClicks(name, "  tout");
        SeenDialog done;
        answerNextDialog("OK", &done);
        press("Command2_1");
        QCOMPARE(done.title, "CREATION DE FICHIER");
        QCOMPARE(done.text, "Fichier tout.jpg : création Ok !");
        QVERIFY(!done.critical);
        QCOMPARE(TempTree::read(tree.path("dossier/tout.jpg")), "<un><un minuscule><neuf><dix>");
        QVERIFY(rows(selection).isEmpty());
        QVERIFY(name->text().isEmpty());
        QVERIFY(rows(widget<QAbstractItemView>("File1")).contains("tout.jpg"));
    }

    // Replacing a file asks first, with "Non" as the default button. The
    // question names the file character for character, even a name that
    // looks like markup.
    void asksBeforeReplacing()
    {
        tree.file("dossier/sortie<b>.bin", "ancien");
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* files = widget<QAbstractItemView>("File1");
        clickRow(files, rows(files).indexOf("scan9.jpg"));
        auto* name = widget<QLineEdit>("Text1");
        name->selectAll();
        QTest::keyClicks(name, "sortie<b>.bin");

        SeenDialog question;
        answerNextDialog("Non", &question);
        press("Command2_1");
        QCOMPARE(question.text, "Le fichier sortie<b>.bin existe déjà. Voulez-vous l'écraser ?");
        QCOMPARE(question.shown, question.text);
        QCOMPARE(question.defaultButton, "Non");
        QVERIFY(!question.critical);
        QCOMPARE(TempTree::read(tree.path("dossier/sortie<b>.bin")), "ancien");
        QCOMPARE(rows(widget<QAbstractItemView>("List1")), QStringList({"scan9.jpg"}));

        SeenDialog again, done;
        answerNextDialog("Oui", &again, "OK", &done);
        press("Command2_1");
        QCOMPARE(again.text, question.text);
        QCOMPARE(done.text, "Fichier sortie<b>.bin : création Ok !");
        QCOMPARE(done.shown, done.text);
        QCOMPARE(TempTree::read(tree.path("dossier/sortie<b>.bin")), "<neuf>");
    }
};

QTEST_MAIN(WindowJoinTest)
#include "tst_window_join.moc"
