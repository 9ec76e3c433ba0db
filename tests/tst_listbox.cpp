// SPDX-License-Identifier: GPL-3.0-or-later
// The list box and the sorted-list order it keeps, under the locale the
// tests run with and under French.
#include "support/Lists.h"
#include "support/Locales.h"
#include "toolkit/ListBox.h"
#include "toolkit/SortOrder.h"

#include <QtTest>

#include <algorithm>
#include <random>

using namespace quibex;
using namespace quibex::test;

namespace {

QStringList sortedThroughList(const QStringList& input)
{
    ListBox list(true);
    for (const QString& t : input)
        list.addItem(t);
    return texts(list);
}

}  // namespace

class ListBoxTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { applyLocale({}); }

    void sortedOrder_data() { addLocaleRows(); }

    // Each property the sorts rely on, in one locale at a time.
    void sortedOrder()
    {
        QFETCH(QString, locale);
        applyLocale(locale);
        const SortOrder& order = SortOrder::current();
        QCOMPARE(order.localeName(), QLocale().name());

        // Letter case does not count: b, A, c comes back A, b, c.
        QCOMPARE(sortedThroughList({"b", "A", "c"}), QStringList({"A", "b", "c"}));
        QCOMPARE(order.compare("abc", "ABC"), 0);

        // The tab sorts before the space, and both before every other
        // character a file name may hold; so a name that begins a longer
        // name sorts first once a tab or a space follows it.
        const QStringList others = {"!", "#", "-", ".", "0", "9", "_", "a",
                                    "z", "~", "é", "É", "ß", "€", "(", "+"};
        QVERIFY(order.compare("x\t", "x ") < 0);
        for (const QString& c : others) {
            QVERIFY2(order.compare("x\t", "x" + c) < 0, qPrintable("tab vs " + c));
            QVERIFY2(order.compare("x ", "x" + c) < 0, qPrintable("space vs " + c));
        }
        QVERIFY(order.compare("data\t\t0000000001", "data1\t\t0000000000") < 0);
        QVERIFY(order.compare("my file 2", "my file10") < 0);

        // White space counts: it is not passed over.
        QVERIFY(order.compare("a b", "ab") != 0);
        QVERIFY(order.compare("a\tb", "ab") != 0);

        // Digits count and sort ascending, character by character.
        for (int d = 0; d < 9; ++d)
            QVERIFY(order.compare(QString::number(d), QString::number(d + 1)) < 0);
        QVERIFY(order.compare("f10", "f2") < 0);
        QVERIFY(order.compare("0000000009", "0000000010") < 0);

        // The empty text sorts first.
        for (const QString& t : QStringList{"\t", " ", "0", "a", "!"})
            QVERIFY(order.compare("", t) < 0);
        QCOMPARE(sortedThroughList({"b", "", "a"}), QStringList({"", "a", "b"}));
    }

    // An unsorted list appends; a sorted one keeps its order, a newcomer
    // landing after the items equal to it that were there before.
    void sortedAndUnsortedLists()
    {
        ListBox plain(false);
        for (const char* t : {"b", "A", "c"})
            plain.addItem(t);
        QCOMPARE(texts(plain), QStringList({"b", "A", "c"}));

        ListBox sorted(true);
        sorted.addItem("Notes", "first");
        sorted.addItem("b");
        sorted.addItem("NOTES", "second");
        QCOMPARE(sorted.item(0), "b");
        sorted.addItem("notes", "third");
        QCOMPARE(texts(sorted), QStringList({"b", "Notes", "NOTES", "notes"}));
        QCOMPARE(sorted.itemData(1), "first");
        QCOMPARE(sorted.itemData(2), "second");
        QCOMPARE(sorted.itemData(3), "third");
        sorted.clear();
        QCOMPARE(sorted.count(), 0);
    }

    // The batched merge gives the order that inserting each item at its
    // place, one at a time, would give.
    void sortedListMatchesOneByOneInsertion()
    {
        std::mt19937 random(7);
        const QStringList alphabet = {"a", "B", "b", " ", "\t", "1", "2", "é", "E", "."};
        const SortOrder& order = SortOrder::current();
        ListBox list(true);
        QStringList reference;
        for (int round = 0; round < 6; ++round) {
            for (int n = 0; n < 150; ++n) {
                QString text;
                for (int len = int(random() % 4); len > 0; --len)
                    text += alphabet[int(random() % alphabet.size())];
                list.addItem(text, QByteArray::number(round * 1000 + n));
                auto place = std::upper_bound(
                    reference.begin(), reference.end(), text,
                    [&](const QString& a, const QString& b) { return order.compare(a, b) < 0; });
                reference.insert(place, text);
            }
            QCOMPARE(texts(list), reference);  // read between rounds: merges into a settled list
        }
    }

    void positionsAndHighlight()
    {
        ListBox list;
        for (const char* t : {"a", "b", "c"})
            QVERIFY(list.addItem(t));
        QCOMPARE(list.listIndex(), -1);
        list.setListIndex(1);
        list.addItem("d");
        QCOMPARE(list.listIndex(), 1);     // appending keeps the highlight on its item
        QVERIFY(list.insertItem(1, "z"));  // at the highlighted position: pushed down with its item
        QCOMPARE(list.listIndex(), 2);
        QCOMPARE(list.item(2), "b");
        list.removeItem(0);
        QCOMPARE(list.listIndex(), 1);
        list.removeItem(1);
        QCOMPARE(list.listIndex(), -1);  // the highlighted item went
        QCOMPARE(texts(list), QStringList({"z", "c", "d"}));
        QVERIFY(!list.insertItem(5, "x"));
        list.setListIndex(7);
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(list.item(9), QString());
    }

    void holdsAtMost32767Items()
    {
        for (bool sorted : {false, true}) {
            ListBox list(sorted, ListBox::MaxItems);
            for (int i = 0; i < ListBox::MaxItems; ++i)
                QVERIFY(list.addItem(QString::number(i)));
            QVERIFY(!list.addItem("one too many"));
            QVERIFY(!list.insertItem(0, "one too many"));
            QCOMPARE(list.count(), ListBox::MaxItems);
        }
    }
};

QTEST_GUILESS_MAIN(ListBoxTest)
#include "tst_listbox.moc"
