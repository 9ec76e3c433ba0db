// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "support/SortFixture.h"
#include "support/ScriptedMessageBox.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <numeric>

using namespace quibex;
using namespace quibex::test;
using namespace quibex::test::sorting;

class AdvancedSortTest : public EachLocale {
    Q_OBJECT

private slots:
    void scansInNumberOrderThenOtherExtensions()
    {
        ScriptedMessageBox box;
        fmenu form(box);
        fillSelection(
            form,
            {"scan10.jpg|F1", "scan9.jpg|F2", "Scan100.jpg|F3", "notes.txt|F4", "scan1.jpg|F5"});
        form.List1.setListIndex(2);
        QSignalSpy focus(&form.Text1, &TextBox::focusRequested);

        Command7_Click(form);

        const QStringList expected{"scan1.jpg|F5", "scan9.jpg|F2", "scan10.jpg|F1",
                                   "Scan100.jpg|F3", "notes.txt|F4"};
        QCOMPARE(selection(form), expected);
        QCOMPARE(selectionOnDisk(form), expected);
        QCOMPARE(form.List1.listIndex(), -1);

        // The proposal ran on the new first entry.
        QCOMPARE(form.Text1.text(), QStringLiteral(".jpg"));
        QCOMPARE(form.Text2.text(), QStringLiteral(".jpg"));
        QVERIFY(focus.count() > 0);

        // The scratch lists keep what they held at the end.
        QCOMPARE(texts(form.List5), (QStringList{".jpg", ".txt"}));
        QCOMPARE(texts(form.List3), QStringList{"notes0000000001"});
        QCOMPARE(texts(form.List4),
                 (QStringList{"scan1.jpg", "scan9.jpg", "scan10.jpg", "Scan100.jpg", "notes.txt"}));
        QCOMPARE(texts(form.List6), (QStringList{"F5", "F2", "F1", "F3", "F4"}));
        QVERIFY(box.shown().empty());
    }
    void order_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        // The keys of the last group, as List3 keeps them.
        QTest::addColumn<QStringList>("lastKeys");

        QTest::newRow("one entry") << QStringList{"Only.Doc|D"} << QStringList{"Only.Doc|D"}
                                   << QStringList{"Only0000000001"};
        QTest::newRow("extensions order the groups")
            << QStringList{"Zeta.doc|1", "readme|2", "alpha.txt|3"}
            << QStringList{"readme|2", "Zeta.doc|1", "alpha.txt|3"}
            << QStringList{"alpha0000000001"};
        QTest::newRow("a lone dot is an extension of its own")
            << QStringList{"b.doc|1", "a.|2", "readme|3"}
            << QStringList{"readme|3", "a.|2", "b.doc|1"} << QStringList{"b0000000001"};
        QTest::newRow("leading numbers") << QStringList{"10 intro.mp3|1", "9 outro.mp3|2"}
                                         << QStringList{"9 outro.mp3|2", "10 intro.mp3|1"}
                                         << QStringList{" 9 outro0000000002", "10 intro0000000001"};
        QTest::newRow("a space as split point")
            << QStringList{"my file 10.txt|1", "my file 2.txt|2"}
            << QStringList{"my file 2.txt|2", "my file 10.txt|1"}
            << QStringList{"my  file 20000000002", "my file 100000000001"};
        QTest::newRow("no split character: shorter first")
            << QStringList{"aa.txt|1", "b.txt|2"} << QStringList{"b.txt|2", "aa.txt|1"}
            << QStringList{" b0000000002", "aa0000000001"};
        QTest::newRow("two numbers in one name")
            << QStringList{"a9b22.txt|1", "a10b3.txt|2"}
            << QStringList{"a10b3.txt|2", "a9b22.txt|1"}
            << QStringList{"a10b30000000002", "a9b220000000001"};
        QTest::newRow("leading zeros")
            << QStringList{"f02.txt|1", "f2.txt|2"} << QStringList{"f2.txt|2", "f02.txt|1"}
            << QStringList{"f 20000000002", "f020000000001"};
        QTest::newRow("a name that is all extension")
            << QStringList{"a.txt|1", ".txt|2"} << QStringList{".txt|2", "a.txt|1"}
            << QStringList{" 0000000002", "a0000000001"};
        // Alone in its group, its key is nothing but the record number.
        QTest::newRow("a name that is all extension, beside others")
            << QStringList{"notes.txt|1", ".bashrc|2", "a.txt|3"}
            << QStringList{".bashrc|2", "a.txt|3", "notes.txt|1"}
            << QStringList{"    a0000000002", "notes0000000001"};
        // The extension is what follows the last dot; an earlier dot splits the base.
        QTest::newRow("two dots in a name")
            << QStringList{"b.tar.gz|1", "a.gz|2"} << QStringList{"a.gz|2", "b.tar.gz|1"}
            << QStringList{"    a0000000002", "b.tar0000000001"};
        QTest::newRow("hyphen splits, underscore does not")
            << QStringList{"a_cc.u|1", "b_c.u|2", "a-cc.h|3", "b-c.h|4"}
            << QStringList{"a-cc.h|3", "b-c.h|4", "b_c.u|2", "a_cc.u|1"}
            << QStringList{" b_c0000000002", "a_cc0000000001"};
        QTest::newRow("names equal but for case keep their order")
            << QStringList{"a1.txt|1", "A1.txt|2", "A1.txt|3"}
            << QStringList{"a1.txt|1", "A1.txt|2", "A1.txt|3"}
            << QStringList{"a10000000001", "A10000000002", "A10000000003"};
        QTest::newRow("equal names in different folders")
            << QStringList{"s2.jpg|B", "s1.jpg|C", "s2.jpg|A"}
            << QStringList{"s1.jpg|C", "s2.jpg|B", "s2.jpg|A"}
            << QStringList{"s10000000002", "s20000000001", "s20000000003"};
        QTest::newRow(".TXT then .txt: adjacent, upper case first")
            << QStringList{"README.TXT|1", "a.doc|2", "notes.txt|3", "b.TXT|4", "c.txt|5"}
            << QStringList{"a.doc|2", "b.TXT|4", "README.TXT|1", "c.txt|5", "notes.txt|3"}
            << QStringList{"    c0000000002", "notes0000000001"};
        QTest::newRow(".txt then .TXT: adjacent, lower case first")
            << QStringList{"notes.txt|1", "z.zip|2", "README.TXT|3", "a.doc|4"}
            << QStringList{"a.doc|4", "notes.txt|1", "README.TXT|3", "z.zip|2"}
            << QStringList{"z0000000001"};
        // Split pieces, the commonest use of a joiner: each piece's number is its
        // extension, and the groups follow one another in the pieces' order.
        QTest::newRow("split pieces")
            << QStringList{"film.avi.010|3", "film.avi.100|4", "film.avi.002|2", "film.avi.001|1"}
            << QStringList{"film.avi.001|1", "film.avi.002|2", "film.avi.010|3", "film.avi.100|4"}
            << QStringList{"film.avi0000000001"};
        QTest::newRow("letter case of names kept")
            << QStringList{"Scan100.JPG|1", "SCAN2.JPG|2"}
            << QStringList{"SCAN2.JPG|2", "Scan100.JPG|1"}
            << QStringList{"SCAN  20000000002", "Scan1000000000001"};
    }
    void order()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, lastKeys);

        ScriptedMessageBox box;
        fmenu form(box);
        fillSelection(form, before);
        Command7_Click(form);

        QCOMPARE(selection(form), after);
        QCOMPARE(selectionOnDisk(form), after);
        QCOMPARE(texts(form.List3), lastKeys);
        QStringList names;
        QStringList folders;
        for (const QString& entry : after) {
            names << nameOf(entry);
            folders << folderOf(entry);
        }
        QCOMPARE(texts(form.List4), names);
        QCOMPARE(texts(form.List6), folders);
    }
    void emptySelectionEmptiesEverythingAndProposes()
    {
        ScriptedMessageBox box;
        fmenu form(box);
        // What an earlier sort left behind.
        fillSelection(form, {"b.txt|1", "a.doc|2"});
        Command7_Click(form);
        QVERIFY(form.List5.count() > 0 && form.List4.count() > 0);
        form.List1.clear();
        form.List2.clear();
        form.Text1.setText(QString());
        QSignalSpy focus(&form.Text1, &TextBox::focusRequested);

        Command7_Click(form);

        for (const ListBox* list :
             {&form.List1, &form.List2, &form.List3, &form.List4, &form.List5, &form.List6})
            QCOMPARE(list->count(), 0);
        QCOMPARE(form.Text1.text(), QString());
        QCOMPARE(focus.count(), 1);
        QVERIFY(box.shown().empty());
    }
    void proposalNeverOverwritesAName()
    {
        ScriptedMessageBox box;
        fmenu form(box);
        fillSelection(form, {"b.txt|1", "a.doc|2"});
        form.Text1.setText(QStringLiteral(" "));
        form.Text2.setText(QStringLiteral(".old"));
        Command7_Click(form);
        QCOMPARE(texts(form.List1), (QStringList{"a.doc", "b.txt"}));
        QCOMPARE(form.Text1.text(), QStringLiteral(" "));
        QCOMPARE(form.Text2.text(), QStringLiteral(".old"));

        // A first entry without extension proposes nothing.
        fmenu bare(box);
        fillSelection(bare, {"b.txt|1", "LISEZMOI|2"});
        Command7_Click(bare);
        QCOMPARE(bare.List1.item(0), QStringLiteral("LISEZMOI"));
        QCOMPARE(bare.Text1.text(), QString());
        QCOMPARE(bare.Text2.text(), QString());
    }
    // Thousands of numbered scans, shuffled, in four extensions (two differing
    // only in case), some names twice in different folders: each group comes out
    // in the order of the numbers, a repeated name in selection order, and the
    // groups in the order of their extensions, .JPG and .jpg as first met.
    void numberedScansInManyGroups()
    {
        const QStringList extensions{".jpg", "", ".txt", ".JPG"};
        QRandomGenerator random(7);
        std::vector<int> numbers(4000);
        std::iota(numbers.begin(), numbers.end(), 1);
        for (int n = 1; n <= 400; ++n)
            numbers.push_back(n * 7);  // a second scan of the same number, elsewhere
        std::shuffle(numbers.begin(), numbers.end(), random);

        QStringList before;
        for (size_t i = 0; i < numbers.size(); ++i) {
            const int n = numbers[i];
            before << QStringLiteral("scan%1%2|%3").arg(n).arg(extensions[n % 4]).arg(i);
        }

        ScriptedMessageBox box;
        fmenu form(box);
        fillSelection(form, before);
        Command7_Click(form);

        // Which of .jpg and .JPG the selection shows first decides their order.
        QString firstJpg;
        for (const QString& entry : before) {
            const QString name = nameOf(entry);
            if (name.endsWith(QLatin1String(".jpg")) || name.endsWith(QLatin1String(".JPG"))) {
                firstJpg = name.right(4);
                break;
            }
        }
        const QStringList groupOrder{"", firstJpg, firstJpg == ".jpg" ? ".JPG" : ".jpg", ".txt"};

        QCOMPARE(form.List1.count(), int(numbers.size()));
        QCOMPARE(texts(form.List5), groupOrder);
        int group = 0;
        int lastNumber = 0;
        int lastPosition = -1;
        for (int j = 0; j < form.List1.count(); ++j) {
            const QString name = form.List1.item(j);
            const int position = form.List2.item(j).toInt();
            QCOMPARE(nameOf(before[position]), name);
            QCOMPARE(form.List1.itemData(j), name.toUtf8());
            QCOMPARE(form.List2.itemData(j), folderBytes(QString::number(position)));
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            const QString extension = dot < 0 ? QString() : name.mid(dot);
            const int number = name.mid(4, (dot < 0 ? name.size() : dot) - 4).toInt();
            if (extension != groupOrder[group]) {
                ++group;
                QCOMPARE(extension, groupOrder[group]);
                lastNumber = 0;
            }
            QVERIFY(number >= lastNumber);
            if (number == lastNumber)
                QVERIFY(position > lastPosition);
            lastNumber = number;
            lastPosition = position;
        }
        QCOMPARE(group, 3);
    }
};

QTEST_MAIN(AdvancedSortTest)
#include "tst_advanced_sort.moc"
