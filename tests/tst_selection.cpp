// SPDX-License-Identifier: GPL-3.0-or-later
// Building the selection from the file list, and the name proposal.
#include "ordering/Ordering.h"
#include "selection/Selection.h"
#include "support/FormFixture.h"
#include "support/Lists.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

class SelectionTest : public QObject {
    Q_OBJECT

private slots:
    void pickAppendsNameAndFolder()
    {
        FormFixture fx;
        const QByteArray a = fx.tree.folder("a");
        const QByteArray b = fx.tree.folder("b");
        fx.tree.file("a/Un.txt", "1");
        fx.tree.file("a/deux.doc", "2");
        fx.tree.file("b/un.txt", "3");
        fmenu& f = *fx.form;

        fx.browse(a);
        QVERIFY(fx.pick("deux.doc"));
        QSignalSpy focus(&f.Text1, &TextBox::focusRequested);
        f.List1.setListIndex(0);
        QVERIFY(fx.pick("Un.txt"));
        fx.browse(b);
        QVERIFY(fx.pick("un.txt"));  // differs only by letter case: added
        QCOMPARE(fx.names(), QStringList({"deux.doc", "Un.txt", "un.txt"}));
        QCOMPARE(fx.folders(), QStringList({QString(a), QString(a), QString(b)}));
        QCOMPARE(f.List1.listIndex(), 0);  // appending does not move the highlight
        QVERIFY(focus.count() > 0);
        QCOMPARE(entryNativePath(f, 2), b + "/un.txt");
        QCOMPARE(f.Text1.text(), ".doc");  // proposed from the first entry
        QCOMPARE(f.Text2.text(), ".doc");
    }

    void duplicatePickAddsNothingButProposes()
    {
        FormFixture fx;
        fx.tree.file("x/rapport.txt");
        fx.tree.file("y/rapport.txt");
        fmenu& f = *fx.form;
        fx.browse(fx.tree.path("x"));
        QVERIFY(fx.pick("rapport.txt"));
        f.Text1.setText(QString());
        f.Text2.setText(QString());

        fx.browse(fx.tree.path("y"));
        QVERIFY(fx.pick("rapport.txt"));
        QCOMPARE(fx.names(), QStringList({"rapport.txt"}));
        QCOMPARE(fx.folders(), QStringList({QString(fx.tree.path("x"))}));
        QCOMPARE(f.File1.listIndex(), -1);  // the file list's highlight is removed
        QCOMPARE(f.Text1.text(), ".txt");
        QVERIFY(fx.box.shown().empty());
    }

    void pickWithNothingHighlightedDoesNothing()
    {
        FormFixture fx;
        fx.tree.file("a.txt");
        fmenu& f = *fx.form;
        f.File1.reread();
        QSignalSpy focus(&f.Text1, &TextBox::focusRequested);
        File1_Click(f);
        QCOMPARE(f.List1.count(), 0);
        QCOMPARE(focus.count(), 0);  // no proposal ran
    }

    void addWholeList()
    {
        FormFixture fx;
        fx.tree.file("d/c.bin");
        fx.tree.file("d/A.bin");
        fx.tree.file("d/b.bin");
        fx.tree.file("d/.cache");  // hidden: not listed
        fx.tree.folder("d/sub");
        fx.tree.folder("empty");
        fmenu& f = *fx.form;

        fx.browse(fx.tree.path("empty"));
        QSignalSpy focus(&f.Text1, &TextBox::focusRequested);
        Command4_Click(f);
        QCOMPARE(f.List1.count(), 0);
        QCOMPARE(focus.count(), 0);  // empty file list: no proposal

        fx.browse(fx.tree.path("d"));
        QVERIFY(fx.pick("b.bin"));
        f.File1.setListIndex(2);
        Command4_Click(f);
        QCOMPARE(fx.names(),
                 QStringList({"b.bin", "A.bin", "c.bin"}));  // file list order, b.bin skipped
        QCOMPARE(f.List2.count(), 3);
        QCOMPARE(f.File1.listIndex(), 2);  // left as it was
        Command4_Click(f);
        QCOMPARE(f.List1.count(), 3);
        QCOMPARE(f.Text1.text(), ".bin");
    }

    void removeAndMove()
    {
        FormFixture fx;
        fmenu& f = *fx.form;
        const auto fill = [&f] {
            f.List1.clear();
            f.List2.clear();
            for (const char* n : {"a", "b", "c"}) {
                f.List1.addItem(n);
                f.List2.addItem(QStringLiteral("/d/") + n);
            }
        };
        fill();
        f.List1.setListIndex(2);
        Command3_Click(f);
        QCOMPARE(f.List1.listIndex(), 1);
        fill();
        f.List1.setListIndex(0);
        Command3_Click(f);
        QCOMPARE(f.List1.item(0), "b");
        QCOMPARE(f.List1.listIndex(), 0);
        QCOMPARE(f.List2.item(0), "/d/b");

        fill();
        f.List1.setListIndex(0);
        Command1_Click(f, 1);  // Bas
        Command1_Click(f, 1);
        QCOMPARE(fx.names(), QStringList({"b", "c", "a"}));
        QCOMPARE(fx.folders(), QStringList({"/d/b", "/d/c", "/d/a"}));
        QCOMPARE(f.List1.listIndex(), 2);
        Command1_Click(f, 1);  // already last
        QCOMPARE(fx.names(), QStringList({"b", "c", "a"}));
        Command1_Click(f, 0);  // Haut
        QCOMPARE(fx.names(), QStringList({"b", "a", "c"}));
        QCOMPARE(fx.folders(), QStringList({"/d/b", "/d/a", "/d/c"}));
        QCOMPARE(f.List1.listIndex(), 1);
        f.List1.setListIndex(0);
        Command1_Click(f, 0);  // already first
        QCOMPARE(fx.names(), QStringList({"b", "a", "c"}));
        f.List1.setListIndex(-1);
        Command1_Click(f, 0);
        Command1_Click(f, 1);
        Command3_Click(f);
        QCOMPARE(fx.names(), QStringList({"b", "a", "c"}));

        f.Text1.setText("garder.txt");
        Command6_Click(f);
        QCOMPARE(f.List1.count(), 0);
        QCOMPARE(f.List2.count(), 0);
        QCOMPARE(f.List1.listIndex(), -1);
        QCOMPARE(f.Text1.text(), "garder.txt");

        f.List1.addItem("seul");
        f.List2.addItem("/d");
        f.List1.setListIndex(0);
        Command1_Click(f, 0);
        Command1_Click(f, 1);
        QCOMPARE(f.List1.listIndex(), 0);
        Command3_Click(f);
        QCOMPARE(f.List1.count(), 0);
        QCOMPARE(f.List2.count(), 0);
        QCOMPARE(f.List1.listIndex(), -1);
    }

    void proposal_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("text1Before");
        QTest::addColumn<QString>("text1After");
        // clang-format off
        QTest::newRow("last dot") << "rapport.partie1.txt" << "" << ".txt";
        QTest::newRow("case kept") << "DONNEES.TXT" << "" << ".TXT";
        QTest::newRow("no dot") << "LISEZMOI" << "" << "";
        QTest::newRow("ends with dot") << "fin." << "" << "";
        QTest::newRow("only leading dot") << ".profil" << "" << ".profil";
        QTest::newRow("user's space kept") << "a.txt" << " " << " ";
        QTest::newRow("user's name kept") << "a.txt" << "tout.log" << "tout.log";
        // clang-format on
    }

    void proposal()
    {
        QFETCH(QString, first);
        QFETCH(QString, text1Before);
        QFETCH(QString, text1After);
        FormFixture fx;
        fmenu& f = *fx.form;
        f.List1.addItem(first);
        f.List2.addItem("/d");
        f.List1.addItem("autre.csv");
        f.List2.addItem("/d");
        f.Text1.setText(text1Before);
        f.Text2.setText("avant");
        QSignalSpy focus(&f.Text1, &TextBox::focusRequested);
        ProposerNom(f);
        QCOMPARE(f.Text1.text(), text1After);
        QCOMPARE(f.Text2.text(), text1After == text1Before ? QStringLiteral("avant") : text1After);
        QCOMPARE(focus.count(), 1);
    }

    // The add commands and the advanced sort move the focus to the name box
    // before proposing a name in it: a screen reader that hears the text
    // change first takes it for the focus and says nothing when it comes.
    void focusComesBeforeTheProposal()
    {
        FormFixture fx;
        fx.tree.file("a.txt");
        fmenu& f = *fx.form;
        f.File1.reread();
        QStringList heard;
        QObject::connect(&f.Text1, &TextBox::focusRequested, [&heard] { heard << "focus"; });
        QObject::connect(&f.Text1, &TextBox::textChanged, [&heard] { heard << "text"; });
        Command4_Click(f);
        QCOMPARE(heard.first(), "focus");
        QVERIFY(heard.contains("text"));
        f.Text1.setText(QString());
        heard.clear();
        Command7_Click(f);
        QCOMPARE(heard.first(), "focus");
        QVERIFY(heard.contains("text"));
    }

    void proposalNotRenewedAfterRemoveAll()
    {
        FormFixture fx;
        fx.tree.file("p/a.txt");
        fx.tree.file("q/b.csv");
        fmenu& f = *fx.form;
        fx.browse(fx.tree.path("p"));
        fx.pick("a.txt");
        Command6_Click(f);
        fx.browse(fx.tree.path("q"));
        Command4_Click(f);
        QCOMPARE(f.Text1.text(), ".txt");
        QCOMPARE(f.Text2.text(), ".txt");
    }

    // The browser lists regular files and links to them, without hidden
    // names, devices, pipes, sockets and broken links, in the sorted order.
    void fileListShowsOnlyRegularFiles()
    {
        FormFixture fx;
        const QByteArray d = fx.tree.folder("d");
        fx.tree.file("d/zeta");
        fx.tree.file("d/Alpha");
        fx.tree.file("d/.hidden");
        fx.tree.folder("d/folder");
        QCOMPARE(symlink((d + "/zeta").constData(), (d + "/link-to-zeta").constData()), 0);
        QCOMPARE(symlink((d + "/nowhere").constData(), (d + "/broken").constData()), 0);
        QCOMPARE(mkfifo((d + "/pipe").constData(), 0644), 0);
        const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray socketPath = d + "/sock";
        if (size_t(socketPath.size()) < sizeof address.sun_path) {
            memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
            QCOMPARE(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        }
        close(sock);

        fx.browse(d);
        QCOMPARE(texts(fx.form->File1), QStringList({"Alpha", "link-to-zeta", "zeta"}));
    }

    // Names with spaces, tabs, accents or bytes that are not UTF-8 are listed
    // and selected, and each entry still names exactly its own file.
    void unusualNames()
    {
        FormFixture fx;
        const QByteArray d = fx.tree.folder("d");
        const QByteArray latin1 = "caf\xe9.txt";  // "café" in Latin-1: not valid UTF-8
        const QByteArray latin1b = "caf\xe8.txt";
        fx.tree.file("d/" + latin1, "L1");
        fx.tree.file("d/" + latin1b, "L2");
        fx.tree.file("d/un\tdeux trois.txt", "T");
        fx.tree.file("d/élève.txt", "U");
        fx.browse(d);
        QCOMPARE(fx.form->File1.count(), 4);
        Command4_Click(*fx.form);
        // The two Latin-1 names show alike; the second is taken for the same name.
        QCOMPARE(fx.form->List1.count(), 3);
        QSet<QByteArray> paths;
        for (int i = 0; i < fx.form->List1.count(); ++i)
            paths.insert(entryNativePath(*fx.form, i));
        QVERIFY(paths.contains(d + "/un\tdeux trois.txt"));
        QVERIFY(paths.contains(d + "/élève.txt"));
        QVERIFY(paths.contains(d + "/" + latin1) || paths.contains(d + "/" + latin1b));
        for (const QByteArray& p : paths)
            QVERIFY2(!TempTree::read(p).isEmpty(), p.constData());
    }

    void vanishedFolderChangesNothing()
    {
        FormFixture fx;
        fx.tree.file("gone/a.txt");
        fx.tree.file("gone/sub/b.txt");
        fmenu& f = *fx.form;
        fx.browse(fx.tree.path("gone"));
        f.File1.setListIndex(0);
        QVERIFY(QDir(QString::fromUtf8(fx.tree.path("gone"))).removeRecursively());
        File1_Click(f);
        Command4_Click(f);
        QCOMPARE(f.List1.count(), 0);
        QCOMPARE(f.List2.count(), 0);
        // Opening a subfolder that has gone leaves the browser where it was.
        const QByteArray before = f.Dir1.nativePath();
        QVERIFY(!f.Dir1.open(f.Dir1.list().count() - 1));
        QCOMPARE(f.Dir1.nativePath(), before);
    }

    // Files dropped from a file manager: each keeps its own folder, as
    // bytes; the rules are those of "Ajouter toute la liste".
    void droppedFilesJoinAtTheEnd()
    {
        FormFixture fx;
        const QByteArray latin1 = fx.tree.file("l\xe0/caf\xe9.txt", "L");  // neither is UTF-8
        const QByteArray other = fx.tree.file("autre/b.doc", "B");
        const QByteArray twin = fx.tree.file("autre/a.txt", "A2");
        const QByteArray chosen = fx.tree.file("a.txt", "A");
        const QByteArray folder = fx.tree.folder("dossier");
        const QByteArray pipe = fx.tree.path("tube");
        QCOMPARE(mkfifo(pipe.constData(), 0644), 0);
        fmenu& f = *fx.form;
        appendFile(f, chosen);
        QSignalSpy proposals(&f.Text1, &TextBox::focusRequested);

        List1_OLEDragDrop(f, {folder, pipe, fx.tree.path("absent"), other, twin, latin1, other});
        QCOMPARE(fx.names(), QStringList({"a.txt", "b.doc", QStringLiteral("caf\uFFFD.txt")}));
        QCOMPARE(entryNativePath(f, 1), other);
        QCOMPARE(entryNativePath(f, 2), latin1);
        QCOMPARE(TempTree::read(entryNativePath(f, 2)), QByteArray("L"));
        QCOMPARE(proposals.count(), 1);  // once, at the end
        QCOMPARE(f.Text1.text(), ".txt");

        // Nothing but folders and things that are no files: nothing happens.
        List1_OLEDragDrop(f, {folder, pipe, fx.tree.path()});
        QCOMPARE(f.List1.count(), 3);
        QCOMPARE(proposals.count(), 1);
    }

    void selectionHoldsAtMost32767Entries()
    {
        FormFixture fx;
        fx.tree.file("last.txt");
        fmenu& f = *fx.form;
        for (int i = 0; i < ListBox::MaxItems; ++i) {
            f.List1.addItem(QString::number(i));
            f.List2.addItem("/d");
        }
        f.File1.reread();
        QVERIFY(fx.pick("last.txt"));
        Command4_Click(f);
        List1_OLEDragDrop(f, {fx.tree.path("last.txt")});
        QCOMPARE(f.List1.count(), ListBox::MaxItems);
        QCOMPARE(f.List2.count(), ListBox::MaxItems);
        QVERIFY(fx.box.shown().empty());
    }
};

QTEST_GUILESS_MAIN(SelectionTest)
#include "tst_selection.moc"
