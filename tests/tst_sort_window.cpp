// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"
#include "selection/Selection.h"
#include "support/SortFixture.h"
#include "support/FormFixture.h"
#include "support/TempTree.h"
#include "support/window/WindowDriver.h"
#include "support/ScriptedMessageBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace quibex;
using namespace quibex::test;
using namespace quibex::test::sorting;

// Both sorts run from their buttons in the real window, then "Créer" joins
// the selection: every entry must bring in the very file that was picked,
// although "Tri normal" shows the names in lower case and, on this system,
// a file of that lower-case name can sit beside the picked one.
class SortWindowTest : public EachLocale {
    Q_OBJECT

private slots:
    void sortThenJoinReadsThePickedFiles()
    {
        TempTree tree;
        QVERIFY(tree.isValid());
        tree.file("one/Scan.TXT", "[one/Scan.TXT]");
        tree.file("one/scan.txt", "[one/scan.txt, never picked]");
        tree.file("one/scan10.TXT", "[one/scan10.TXT]");
        tree.file("one/scan9.TXT", "[one/scan9.TXT]");
        tree.file("two/Alpha.bin", "[two/Alpha.bin]");
        tree.file("two/scan9.TXT", "[two/scan9.TXT]");

        ScriptedMessageBox box;
        MainWindow window(tree.path("one"), box);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        fmenu& form = window.form();

        const auto pick = [&form](const QString& name) { return pickFile(form, name); };
        const auto click = [&window](const char* name) { press(&window, name); };

        QVERIFY(pick(QStringLiteral("Scan.TXT")));
        QVERIFY(pick(QStringLiteral("scan10.TXT")));
        QVERIFY(pick(QStringLiteral("scan9.TXT")));
        QVERIFY(form.Dir1.setPath(tree.path("two")));
        QVERIFY(pick(QStringLiteral("Alpha.bin")));

        click("Command8");
        QCOMPARE(texts(form.List1),
                 (QStringList{"alpha.bin", "scan.txt", "scan10.txt", "scan9.txt"}));

        // one/scan9.TXT is shown as scan9.txt now, so two/scan9.TXT is no duplicate.
        QVERIFY(pick(QStringLiteral("scan9.TXT")));
        click("Command7");
        QCOMPARE(texts(form.List1),
                 (QStringList{"alpha.bin", "scan.txt", "scan9.txt", "scan10.txt", "scan9.TXT"}));

        auto* name = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(name);
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("joined.dat"));
        QCOMPARE(form.Text1.text(), QStringLiteral("joined.dat"));
        click("Command2_1");

        QCOMPARE(
            TempTree::read(tree.path("two/joined.dat")),
            QByteArray(
                "[two/Alpha.bin][one/Scan.TXT][one/scan9.TXT][one/scan10.TXT][two/scan9.TXT]"));
        QCOMPARE(int(box.shown().size()), 1);
        QCOMPARE(box.shown().front().text, QStringLiteral("Fichier joined.dat : création Ok !"));
        QCOMPARE(form.List1.count(), 0);
    }
};

QTEST_MAIN(SortWindowTest)
#include "tst_sort_window.moc"
