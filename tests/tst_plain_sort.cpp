// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "selection/Selection.h"
#include "support/FormFixture.h"
#include "support/SortFixture.h"
#include "support/TempTree.h"
#include "toolkit/FolderReader.h"
#include "support/ScriptedMessageBox.h"
#include "toolkit/SortOrder.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace quibex;
using namespace quibex::test;
using namespace quibex::test::sorting;

class PlainSortTest : public EachLocale {
    Q_OBJECT

private slots:
    void emptySelectionChangesNothing()
    {
        ScriptedMessageBox box;
        fmenu form(box);
        form.Text1.setText(QStringLiteral(".txt"));
        Command8_Click(form);
        QCOMPARE(form.List1.count(), 0);
        QCOMPARE(form.List2.count(), 0);
        QCOMPARE(form.Text1.text(), QStringLiteral(".txt"));
        QVERIFY(box.shown().empty());
    }
    void order_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");  // names as picked; shown in lower case

        QTest::newRow("one entry") << QStringList{"Rapport.DOC|D"} << QStringList{"Rapport.DOC|D"};
        QTest::newRow("case ignored, folders follow")
            << QStringList{"Beta.txt|B", "alpha.TXT|A"} << QStringList{"alpha.TXT|A", "Beta.txt|B"};
        QTest::newRow("digits one by one")
            << QStringList{"f2.txt|A", "f10.txt|B"} << QStringList{"f10.txt|B", "f2.txt|A"};
        QTest::newRow("beginning of a longer name first")
            << QStringList{"data1|A", "data|B"} << QStringList{"data|B", "data1|A"};
        QTest::newRow("beginning before a space")
            << QStringList{"a b|A", "ab|B", "a|C"} << QStringList{"a|C", "a b|A", "ab|B"};
        QTest::newRow("equal but for case keep their order")
            << QStringList{"Notes.txt|X", "notes.TXT|Y"}
            << QStringList{"Notes.txt|X", "notes.TXT|Y"};
        QTest::newRow("equal names in several folders")
            << QStringList{"b.txt|F3", "same.txt|F1", "a.txt|F0", "Same.txt|F2", "same.txt|F4"}
            << QStringList{"a.txt|F0", "b.txt|F3", "same.txt|F1", "Same.txt|F2", "same.txt|F4"};
        QTest::newRow("the extension counts like the rest of the name")
            << QStringList{"b.aaa|1", "a.zzz|2", "a|3"} << QStringList{"a|3", "a.zzz|2", "b.aaa|1"};
    }
    void order()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);

        ScriptedMessageBox box;
        fmenu form(box);
        fillSelection(form, before);
        Command8_Click(form);

        QStringList shown;
        for (const QString& entry : after)
            shown << nameOf(entry).toLower() + QLatin1Char('|') + folderOf(entry);
        QCOMPARE(selection(form), shown);
        // Each shown name still carries the name as picked, and its own folder's bytes.
        QCOMPARE(selectionOnDisk(form), after);
    }
    void leavesTheFormAsItWas()
    {
        ScriptedMessageBox box;
        fmenu form(box);
        form.List1.addItem(QStringLiteral("Zed.txt"), "Zed.txt");
        form.List2.addItem(QStringLiteral("A"), "/a");
        form.List1.addItem(QStringLiteral("Mid.txt"));  // an entry without bytes keeps none
        form.List2.addItem(QStringLiteral("B"));
        form.List1.setListIndex(1);
        form.Text1.setText(QStringLiteral("joint.txt"));
        form.Text2.setText(QStringLiteral(".txt"));
        QSignalSpy focus(&form.Text1, &TextBox::focusRequested);

        Command8_Click(form);

        QCOMPARE(texts(form.List1), (QStringList{"mid.txt", "zed.txt"}));
        QCOMPARE(form.List1.itemData(0), QByteArray());
        QCOMPARE(form.List2.itemData(0), QByteArray());
        QCOMPARE(form.List1.itemData(1), QByteArray("Zed.txt"));
        QCOMPARE(form.List2.itemData(1), QByteArray("/a"));
        QCOMPARE(form.List1.listIndex(), -1);
        QCOMPARE(form.Text1.text(), QStringLiteral("joint.txt"));
        QCOMPARE(form.Text2.text(), QStringLiteral(".txt"));
        QCOMPARE(focus.count(), 0);
        QCOMPARE(form.List3.count(), 0);
        QCOMPARE(form.List4.count(), 0);
        QVERIFY(box.shown().empty());
    }
    // Thousands of names from a small alphabet, so that many are equal but for
    // case: the result holds every entry once, with its own folder, in
    // sorted-list order of the lower-cased names, equal names in their former order.
    void largeSelectionIsStableAndKeepsFolders()
    {
        const QString alphabet = QStringLiteral("aAbB12 .-");
        QRandomGenerator random(4);
        QStringList before;
        for (int i = 0; i < 3000; ++i) {
            QString name;
            const int length = 1 + random.bounded(4);
            for (int c = 0; c < length; ++c)
                name += alphabet[random.bounded(int(alphabet.size()))];
            before << name + QLatin1Char('|') + QString::number(i);
        }

        ScriptedMessageBox box;
        fmenu form(box);
        fillSelection(form, before);
        Command8_Click(form);

        QCOMPARE(form.List1.count(), before.size());
        QCOMPARE(form.List2.count(), before.size());
        const SortOrder& order = SortOrder::current();
        QList<bool> seen(before.size(), false);
        int previous = -1;
        for (int j = 0; j < form.List1.count(); ++j) {
            const int former = form.List2.item(j).toInt();
            QVERIFY(!seen[former]);
            seen[former] = true;
            const QString picked = nameOf(before[former]);
            QCOMPARE(form.List1.item(j), picked.toLower());
            QCOMPARE(form.List1.itemData(j), picked.toUtf8());
            QCOMPARE(form.List2.itemData(j), folderBytes(QString::number(former)));
            if (previous >= 0) {
                const int c = order.compare(form.List1.item(j - 1), form.List1.item(j));
                QVERIFY2(c <= 0, qPrintable(form.List1.item(j - 1) + " / " + form.List1.item(j)));
                if (c == 0)
                    QVERIFY(previous < former);
            }
            previous = former;
        }
    }
    // On this system Scan.TXT and scan.txt can sit side by side: the sort shows
    // the picked Scan.TXT as scan.txt, yet its path must still lead to Scan.TXT.
    void pickedFileStillJoinedAfterLowerCase()
    {
        TempTree tree;
        QVERIFY(tree.isValid());
        const QByteArray picked = tree.file("one/Scan.TXT", "picked");
        tree.file("one/scan.txt", "the other one");
        const QByteArray alpha = tree.file("two/Alpha.bin", "alpha");

        ScriptedMessageBox box;
        fmenu form(box);
        const auto pickIn = [&](const char* folder, const QString& name) {
            return form.Dir1.setPath(tree.path(folder)) && form.File1.setPath(tree.path(folder))
                && pickFile(form, name);
        };
        QVERIFY(pickIn("one", QStringLiteral("Scan.TXT")));
        QVERIFY(pickIn("two", QStringLiteral("Alpha.bin")));
        QCOMPARE(texts(form.List1), (QStringList{"Scan.TXT", "Alpha.bin"}));

        Command8_Click(form);
        QCOMPARE(texts(form.List1), (QStringList{"alpha.bin", "scan.txt"}));
        QCOMPARE(entryNativePath(form, 0), alpha);
        QCOMPARE(entryNativePath(form, 1), picked);
        QCOMPARE(TempTree::read(entryNativePath(form, 1)), QByteArray("picked"));

        // The advanced sort afterwards moves the bytes along too.
        Command7_Click(form);
        QCOMPARE(texts(form.List1), (QStringList{"alpha.bin", "scan.txt"}));
        QCOMPARE(entryNativePath(form, 1), picked);

        // The duplicate test compares the shown names exactly: Scan.TXT, now
        // shown as scan.txt, can be picked again.
        QVERIFY(pickIn("one", QStringLiteral("Scan.TXT")));
        QCOMPARE(texts(form.List1), (QStringList{"alpha.bin", "scan.txt", "Scan.TXT"}));
        QCOMPARE(entryNativePath(form, 2), picked);
    }
};

QTEST_MAIN(PlainSortTest)
#include "tst_plain_sort.moc"
