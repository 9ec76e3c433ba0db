// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "join/Join.h"
#include "join/fs/AtomicFile.h"
#include "join/fs/Backup.h"
#include "join/fs/OutputWriter.h"
#include "join/fs/OwnNames.h"
#include "toolkit/ProcessSignals.h"
#include "support/ChildProcess.h"
#include "support/FuseServer.h"
#include "support/JoinFixture.h"
#include "support/TempTree.h"
#include "support/TmpfsMount.h"
#include "support/WriteProtection.h"
#include "support/ScriptedMessageBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

// The name this program gives a file of a process that has ended since.
QByteArray nameOfAnEndedProcess(OwnFile kind)
{
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    runInChild([&] {
        const QByteArray name = ownName(kind);
        return write(ends[1], name.constData(), size_t(name.size())) == name.size() ? 0 : 1;
    });
    close(ends[1]);
    char name[256];
    const ssize_t n = read(ends[0], name, sizeof name);
    close(ends[0]);
    return n > 0 ? QByteArray(name, n) : QByteArray();
}

// A named temporary file, as a join on a file system without unnamed
// ones makes it, holding a few bytes of a join's content.
bool startTemporary(const QByteArray& target, AtomicFile& file)
{
    Target checked;
    return checkTarget(target, checked) == 0 && file.create(std::move(checked), false) == 0
        && write(file.handle(), "partial", 7) == 7;
}

// A join writing into old.bin, its old content kept aside, ended by a kill
// half way through.
int killWhileWritingInto(const QByteArray& folder)
{
    return runInChild([&] {
        const int at = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int file = openat(at, "old.bin", O_RDWR | O_CLOEXEC);
        Backup backup;
        if (file < 0 || backup.make(at, "old.bin", file) != 0 || pwrite(file, "NEW", 3, 0) != 3)
            return 1;
        raise(SIGKILL);
        return 2;
    });
}

}  // namespace

class JoinTest : public QObject {
    Q_OBJECT

private slots:
    // As at start-up: a write past the file-size limit fails instead of
    // ending the program.
    void initTestCase() { setUpProcessSignals(); }
    void createRefusesTheProposedName_data()
    {
        QTest::addColumn<QString>("text1");
        QTest::addColumn<QString>("text2");
        // clang-format off
        QTest::newRow("both empty") << QString() << QString();
        QTest::newRow("proposal untouched") << ".bin" << ".bin";
        // clang-format on
    }
    void createRefusesTheProposedName()
    {
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        Join j;
        j.input("a.bin", "a");
        j.form.Text2.setText(text2);
        j.create(text1);
        QCOMPARE(j.messages(), QStringList{stop("Donnez un nom au fichier à créer !", "Contrôle")});
        QCOMPARE(j.text1Focus.count(), 1);
        QCOMPARE(namesIn(j.out), QStringList());
    }
    void createTrimsOnlySpaces_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("spaces around") << "  joined.bin  " << "joined.bin";
        // clang-format on
        // Differs from the proposal before trimming, so it passes, and equals it after.
        // clang-format off
        QTest::newRow("proposal with a space") << " .bin" << ".bin";
        QTest::newRow("tab kept") << "\tx.bin " << "\tx.bin";
        // clang-format on
        // Differs from the proposal ".bin" by case only: a name of its own.
        // clang-format off
        QTest::newRow("proposal in capitals") << ".BIN" << ".BIN";
        // clang-format on
    }
    void createTrimsOnlySpaces()
    {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        Join j;
        j.input("a.bin", "abc");
        j.create(typed);
        QCOMPARE(j.messages(), QStringList{created(name)});
        QCOMPARE(TempTree::read(j.out + '/' + QFile::encodeName(name)), QByteArray("abc"));
    }
    void quitOtherButtonsAndEmptySelection()
    {
        Join j;
        j.create(QStringLiteral("x.bin"));  // nothing selected
        j.create(QString());                // emptied after a join: passes "Créer", then nothing
        Command2_Click(j.form, 0);
        Command2_Click(j.form, 3);
        QCOMPARE(j.ended.count(), 0);
        QVERIFY(j.box.shown().empty());
        QVERIFY(j.log.isEmpty());
        QCOMPARE(namesIn(j.out), QStringList());
        Command2_Click(j.form, 2);
        QCOMPARE(j.ended.count(), 1);
        QVERIFY(j.box.shown().empty());
    }
    void joinsWithLineEnds_data()
    {
        QTest::addColumn<int>("check1");
        QTest::addColumn<int>("check2");
        QTest::addColumn<QByteArray>("joined");
        QTest::newRow("none") << 0 << 0 << QByteArray("xy");
        QTest::newRow("CR") << 1 << 0 << QByteArray("x\ry\r");
        QTest::newRow("LF") << 0 << 1 << QByteArray("x\ny\n");
        QTest::newRow("CR LF") << 1 << 1 << QByteArray("x\r\ny\r\n");
        QTest::newRow("greyed") << 2 << 2 << QByteArray("xy");
    }
    void joinsWithLineEnds()
    {
        QFETCH(int, check1);
        QFETCH(int, check2);
        QFETCH(QByteArray, joined);
        Join j;
        j.input("x.bin", "x");
        // Entries come from any folder, and may be symbolic links to files.
        j.tree.file("other/y.bin", "y");
        QVERIFY2(symlink("../other/y.bin", j.tree.path("in/y-link.bin").constData()) == 0,
                 strerror(errno));
        j.add(j.tree.path("in/y-link.bin"));
        j.form.Check1.setValue(check1);
        j.form.Check2.setValue(check2);
        j.create(QStringLiteral("joined.bin"));

        QCOMPARE(j.messages(), QStringList{created("joined.bin")});
        QCOMPARE(TempTree::read(j.out + "/joined.bin"), joined);
        QCOMPARE(namesIn(j.out), QStringList{"joined.bin"});
        QCOMPARE(j.form.File1.count(), 1);
        QCOMPARE(j.form.File1.item(0), QStringLiteral("joined.bin"));
        QCOMPARE(j.form.List1.count(), 0);
        QCOMPARE(j.form.List2.count(), 0);
        QCOMPARE(j.form.Text1.text(), QString());
        QCOMPARE(j.form.Text2.text(), QStringLiteral(".bin"));
        QCOMPARE(j.form.jauge.text(), QString());
        QCOMPARE(j.form.jauge2.text(), QString());
        QCOMPARE(j.text1Focus.count(), 0);
    }
    void joinsAcrossVolumes_data()
    {
        QTest::addColumn<bool>("inputsOnTheVolume");
        QTest::newRow("inputs on another volume") << true;
        QTest::newRow("output on another volume") << false;
    }
    // The kernel copies only within one file system: between two (a USB stick
    // and the disk, say) the join reads and writes the bytes itself.
    void joinsAcrossVolumes()
    {
        QFETCH(bool, inputsOnTheVolume);
        Join j;
        const QByteArray volumeFolder = inputsOnTheVolume ? j.tree.folder("in") : j.out;
        TmpfsMount volume(volumeFolder, "size=16m");
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.whyNot()));
        const QByteArray large = pattern(3000000);
        j.input("large.bin", large);
        j.input("small.bin", "small");
        j.form.Check2.setValue(1);
        j.create(QStringLiteral("joined.bin"));
        QCOMPARE(j.messages(), QStringList{created("joined.bin")});
        QCOMPARE(TempTree::read(j.out + "/joined.bin"), large + "\nsmall\n");
    }
    void chunkPlanAndFileDisplay_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("shown");
        const QStringList one{QString(), bar(100, 140), QString()};
        const QStringList two{QString(), bar(50, 70), bar(100, 140), QString()};
        QTest::newRow("empty") << 0 << one;
        QTest::newRow("one chunk exactly") << 2097152 << one;
        QTest::newRow("one byte more") << 2097153 << two;
        QTest::newRow("two chunks exactly") << 4194304 << two;
    }
    void chunkPlanAndFileDisplay()
    {
        QFETCH(int, size);
        QFETCH(QStringList, shown);
        Join j;
        // A file of one chunk before it: its full bar is not shown again for
        // the first chunk of the next file.
        j.input("first.bin", "1");
        const QByteArray content = pattern(size);
        j.input("a.bin", content);
        j.create(QStringLiteral("joined.bin"));
        QCOMPARE(j.texts("jauge"), (QStringList{QString(), bar(100, 140), QString()} + shown));
        QCOMPARE(TempTree::read(j.out + "/joined.bin"), "1" + content);
    }
    void displaySequence()
    {
        Join j;
        j.input("a.bin", pattern(2097153));
        j.input("b.bin", {});
        j.box.log = &j.log;
        Recorder text1(j.log, QStringLiteral("Text1"));
        j.form.Text1.setText(QStringLiteral("joined.bin"));
        text1.listen(j.form.Text1);
        QObject::connect(&j.form.window, &Surface::repaintRequested,
                         [&] { j.log << QStringLiteral("window"); });
        Command2_Click(j.form, 1);

        auto step = [](const QString& display, const QString& text) {
            return QStringList{display + '=' + text, display + ".refresh",
                               QStringLiteral("window")};
        };
        const QStringList expected = step("jauge2", {})  // before the copy
            + step("jauge", {}) + step("jauge", bar(50, 70)) + step("jauge", bar(100, 140))
            + step("jauge", {}) + step("jauge2", bar(50, 70))  // a.bin done
            + step("jauge", {}) + step("jauge", bar(100, 140)) + step("jauge", {})
            + step("jauge2", bar(100, 140))  // b.bin done
            + step("jauge2", {})
            + QStringList{created("joined.bin"), QStringLiteral("Text1="),
                          QStringLiteral("window")};
        QCOMPARE(j.log, expected);
    }
    void overallProgress_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QStringList>("first");
        QTest::newRow("three") << 3 << QStringList{bar(33, 46), bar(66, 93), bar(100, 140)};
        QTest::newRow("ten") << 10 << QStringList{bar(10, 14), bar(20, 28), bar(30, 42)};
        QTest::newRow("two hundred") << 200 << QStringList{bar(0, 0), bar(1, 1), bar(1, 2)};
    }
    void overallProgress()
    {
        QFETCH(int, files);
        QFETCH(QStringList, first);
        Join j;
        QByteArray joined;
        for (int i = 0; i < files; ++i) {
            const QByteArray byte(1, char('a' + i % 26));
            j.input(QByteArray::number(i).rightJustified(3, '0'), byte);
            joined += byte + '\n';
        }
        j.form.Check2.setValue(1);
        j.create(QStringLiteral("joined.bin"));
        const QStringList shown = j.texts("jauge2").mid(1);  // after the first emptying
        QCOMPARE(shown.size(), files + 1);
        QCOMPARE(shown.mid(0, 3), first);
        QCOMPARE(shown.at(files - 1), bar(100, 140));
        QCOMPARE(shown.last(), QString());
        QCOMPARE(TempTree::read(j.out + "/joined.bin"), joined);
    }
    void refusesAFileOfTheSelection_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("selectLink");
        QTest::newRow("same text") << "a.bin" << false;
        QTest::newRow("dot slash") << "./a.bin" << false;
        QTest::newRow("dot dot") << "../out/a.bin" << false;
        QTest::newRow("symbolic link") << "link.bin" << false;
        QTest::newRow("hard link") << "hard.bin" << false;
        QTest::newRow("selected through a link") << "a.bin" << true;
    }
    void refusesAFileOfTheSelection()
    {
        QFETCH(QString, name);
        QFETCH(bool, selectLink);
        Join j;
        const QByteArray a = j.tree.file("out/a.bin", "keep");
        QVERIFY2(symlink("a.bin", (j.out + "/link.bin").constData()) == 0, strerror(errno));
        QVERIFY(link(a.constData(), (j.out + "/hard.bin").constData()) == 0);
        j.add(selectLink ? j.out + "/link.bin" : a);
        j.input("b.bin", "b");
        const QStringList before = namesIn(j.out);
        j.create(name);
        QCOMPARE(j.messages(),
                 QStringList{stop("Impossible d'utiliser un nom présent dans la sélection !")});
        QCOMPARE(j.text1Focus.count(), 1);
        QCOMPARE(TempTree::read(a), QByteArray("keep"));
        QCOMPARE(namesIn(j.out), before);
        QCOMPARE(j.form.List1.count(), 2);
        QVERIFY(j.log.isEmpty());
    }
    void overwriteAnsweredNo()
    {
        Join j;
        j.tree.file("out/old.bin", "old content");
        j.input("a.bin", "new");
        j.form.jauge.setText(QStringLiteral("unchanged"));
        j.create(QStringLiteral("old.bin"));
        QCOMPARE(j.messages(), QStringList{question("old.bin")});  // whose default is No
        QCOMPARE(j.text1Focus.count(), 1);
        j.checkNothingChanged(1);
        QCOMPARE(j.form.jauge.text(), QStringLiteral("unchanged"));
    }
    void fileAppearingMeanwhileIsReplacedOnlyOnYes_data()
    {
        QTest::addColumn<bool>("existedEmpty");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("mirrored");
        QTest::newRow("new file, Oui") << false << true << false;
        QTest::newRow("new file, Non") << false << false << false;
        QTest::newRow("empty file given data, Non") << true << false << false;
        // Through a second mount of the folder (bindfs), a rename cannot be told
        // not to replace what stands there.
        QTest::newRow("new file through another mount, Non") << false << false << true;
    }
    // Another program (or another join) writes a file under the name while the
    // join runs: it is not lost without the question, asked once the copy is done.
    void fileAppearingMeanwhileIsReplacedOnlyOnYes()
    {
        QFETCH(bool, existedEmpty);
        QFETCH(bool, yes);
        QFETCH(bool, mirrored);
        Join j;
        const QByteArray path = j.out + "/joined.bin";
        std::unique_ptr<MirrorMount> mirror;
        if (mirrored) {
            mirror = std::make_unique<MirrorMount>(j.out, j.tree.folder("mirror"));
            if (!mirror->isMounted())
                QSKIP(qPrintable(mirror->whyNot()));
            QVERIFY(j.form.File1.setPath(j.tree.path("mirror")));
        }
        if (existedEmpty)
            j.tree.file("out/joined.bin");
        j.input("a.bin", "new");
        j.jauge.onText = [&](const QString& text) {
            if (text == bar(100, 140))
                j.tree.file("out/joined.bin", "theirs");
        };
        j.box.answerNext(yes ? MsgAnswer::Yes : MsgAnswer::No);
        const JoinOutcome outcome = j.create(QStringLiteral("joined.bin"));
        QCOMPARE(j.messages(),
                 (yes ? QStringList{question("joined.bin"), created("joined.bin")}
                      : QStringList{question("joined.bin")}));
        QCOMPARE(outcome.kind, yes ? JoinOutcome::Kind::Created : JoinOutcome::Kind::Declined);
        QCOMPARE(TempTree::read(path), yes ? QByteArray("new") : QByteArray("theirs"));
        QCOMPARE(namesOnceSettled(j.out), QStringList{"joined.bin"});
        QCOMPARE(j.text1Focus.count(), yes ? 0 : 1);
        QCOMPARE(j.form.List1.count(), yes ? 0 : 1);
    }
    void overwriteKeepsPermissionsAndLinks()
    {
        Join j;
        const QByteArray old = j.tree.file("out/old.bin", "old content");
        QVERIFY2(chmod(old.constData(), 0640) == 0, strerror(errno));
        const QByteArray real = j.tree.file("elsewhere/real.bin", "old content");
        QVERIFY2(symlink(real.constData(), (j.out + "/link.bin").constData()) == 0,
                 strerror(errno));
        j.input("a.bin", "new");
        j.box.answerNext(MsgAnswer::Yes);
        j.create(QStringLiteral("old.bin"));
        QCOMPARE(TempTree::read(old), QByteArray("new"));
        QCOMPARE(statOf(old).st_mode & 07777, 0640u);

        // A link replaces the file it leads to, wherever that is, and stays a
        // link; a relative one leads from its own folder.
        QVERIFY2(symlink("../elsewhere/real.bin", (j.out + "/relative.bin").constData()) == 0,
                 strerror(errno));
        for (const QString& link : {QStringLiteral("link.bin"), QStringLiteral("relative.bin")}) {
            const QByteArray content = link.toUtf8() + " content";
            j.input("a.bin", content);
            j.box.answerNext(MsgAnswer::Yes);
            j.create(link);
            QCOMPARE(j.messages().last(), created(link));
            QCOMPARE(TempTree::read(real), content);
            struct stat info;
            QVERIFY(lstat((j.out + '/' + link.toUtf8()).constData(), &info) == 0
                    && S_ISLNK(info.st_mode));
        }
        QCOMPARE(namesIn(j.out), (QStringList{"link.bin", "old.bin", "relative.bin"}));
        QCOMPARE(namesIn(j.tree.path("elsewhere")), QStringList{"real.bin"});
    }
    void emptyFileIsReplacedWithoutQuestion()
    {
        Join j;
        const QByteArray old = j.tree.file("out/old.bin");
        j.input("a.bin", "new");
        j.create(QStringLiteral("old.bin"));
        QCOMPARE(j.messages(), QStringList{created("old.bin")});
        QCOMPARE(TempTree::read(old), QByteArray("new"));
    }
    void badNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("too long") << QString(300, QLatin1Char('n'));
        QTest::newRow("existing folder") << "sub";
        QTest::newRow("missing folder") << "missing/x.bin";
        QTest::newRow("slash at the end") << "x.bin/";
        QTest::newRow("unwritable folder") << "locked/x.bin";
        QTest::newRow("protected file") << "protected.bin";
        // Only a regular file is replaced; a FIFO would not even be opened.
        QTest::newRow("FIFO") << "fifo";
    }
    void badNames()
    {
        QFETCH(QString, name);
        Join j;
        j.tree.folder("out/sub");
        j.tree.folder("out/locked");
        j.tree.file("out/protected.bin", "old content");
        QVERIFY2(mkfifo((j.out + "/fifo").constData(), 0644) == 0, strerror(errno));
        WriteProtection lockedFolder(j.out + "/locked");
        WriteProtection protectedFile(j.out + "/protected.bin");
        if ((name.startsWith("locked") && !lockedFolder.isEffective())
            || (name.startsWith("protected") && !protectedFile.isEffective()))
            QSKIP("this system lets the program write there");
        j.input("a.bin", "a");
        j.form.jauge.setText(QStringLiteral("unchanged"));
        const QStringList before = namesIn(j.out);
        j.create(name);
        QCOMPARE(j.messages(), QStringList{BadName});
        QCOMPARE(j.text1Focus.count(), 1);
        QCOMPARE(namesIn(j.out), before);
        QCOMPARE(namesIn(j.out + "/sub"), QStringList());
        QCOMPARE(namesIn(j.out + "/locked"), QStringList());
        QCOMPARE(TempTree::read(j.out + "/protected.bin"), QByteArray("old content"));
        QCOMPARE(j.form.jauge.text(), QStringLiteral("unchanged"));
        QCOMPARE(j.form.List1.count(), 1);
    }
    void totalAboveTheLimitIsRefused()
    {
        Join j;
        j.tree.file("out/old.bin", "old content");
        const QByteArray big = j.tree.folder("in") + "/big.bin";
        QVERIFY(makeSparse(big, 2147483647));
        j.add(big);
        j.input("one.bin", "1");
        j.form.jauge.setText(QStringLiteral("unchanged"));
        j.form.jauge2.setText(QStringLiteral("unchanged"));
        j.box.answerNext(MsgAnswer::Yes);
        j.create(QStringLiteral("old.bin"));
        QCOMPARE(j.messages(),
                 (QStringList{question("old.bin"),
                              stop("Opération impossible: taille totale de plus de 2 Go !")}));
        QCOMPARE(j.text1Focus.count(), 0);
        j.checkNothingChanged(2);
        QCOMPARE(j.form.jauge.text(), QStringLiteral("unchanged"));
        QCOMPARE(j.form.jauge2.text(), QStringLiteral("unchanged"));
    }
    void totalAtTheLimitIsJoined()
    {
        Join j;
        // The copy skips holes, but a file system that cannot report them gets 2 GiB of zeros.
        struct statvfs disk;
        if (statvfs(j.out.constData(), &disk) != 0 || disk.f_bavail * disk.f_frsize < (3ull << 30))
            QSKIP("less than 3 GiB free");
        const QByteArray big = j.tree.folder("in") + "/big.bin";
        QVERIFY(makeSparse(big, 2147483647));
        const int fd = open(big.constData(), O_WRONLY);
        // It ends in a hole, which the output must still reach to its full length.
        QVERIFY(pwrite(fd, "A", 1, 0) == 1 && pwrite(fd, "M", 1, 1 << 30) == 1);
        close(fd);
        j.add(big);
        j.create(QStringLiteral("joined.bin"));

        QCOMPARE(j.messages(), QStringList{created("joined.bin")});
        const QByteArray joined = j.out + "/joined.bin";
        QCOMPARE(statOf(joined).st_size, off_t(2147483647));
        const int in = open(joined.constData(), O_RDONLY);
        char bytes[5] = {};
        QVERIFY(pread(in, bytes, 1, 0) == 1 && pread(in, bytes + 1, 2, (1 << 30) - 1) == 2
                && pread(in, bytes + 3, 2, 2147483645) == 2);
        close(in);
        QCOMPARE(QByteArray(bytes, 5), QByteArray("A\0M\0\0", 5));
        const QStringList shown = j.texts("jauge");
        QCOMPARE(shown.size(), 1024 + 2);
        QCOMPARE(shown.at(1), bar(0, 0));
        QCOMPARE(shown.at(1024), bar(100, 140));
    }
    void readErrors_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("missing input") << "missing";
        QTest::newRow("input is a folder") << "folder";
        QTest::newRow("input may not be read") << "unreadable";
        QTest::newRow("input shrinks while copied") << "shrinks";
        QTest::newRow("sparse input shrinks while copied") << "sparse shrinks";
        QTest::newRow("write fails") << "write fails";
        // Small files are gathered before they are written: a full disk met
        // only when they go out is still a failure, not a short file made.
        QTest::newRow("write of gathered small files fails") << "small files write fails";
        QTest::newRow("input renamed over while copied") << "swapped";
    }
    void readErrors()
    {
        QFETCH(QString, failure);
        Join j;
        j.tree.file("out/old.bin", "old content");
        j.input("first.bin", "first");
        const QByteArray path = j.tree.path("in/second.bin");
        const off_t size = 4194304;
        if (failure == "folder")
            j.tree.folder("in/second.bin");
        else if (failure == "sparse shrinks")
            QVERIFY(makeSparse(path, size));
        else if (failure != "missing")
            j.tree.file("in/second.bin", pattern(size));
        for (int i = 0; failure.startsWith("small") && i < 300; ++i)
            j.input(QByteArray("small") + QByteArray::number(i), pattern(4096));
        if (!failure.startsWith("small"))
            j.add(path);
        if (failure == "unreadable") {
            QVERIFY2(chmod(path.constData(), 0) == 0, strerror(errno));
            if (access(path.constData(), R_OK) == 0)
                QSKIP("this program may read any file");
        }
        if (failure == "swapped") {
            // A longer file takes the second one's name while the first is copied.
            j.jauge.onText = [&, fullBars = 0](const QString& text) mutable {
                if (text == bar(100, 140) && ++fullBars == 1) {
                    const QByteArray longer = j.tree.file("b2", "other" + pattern(size + 5000));
                    QVERIFY2(rename(longer.constData(), path.constData()) == 0, strerror(errno));
                }
            };
        }
        if (failure.endsWith("shrinks")) {
            // Cut the file just before its second chunk is copied: the second
            // full bar, the first being first.bin's.
            j.jauge.onText = [&, fullBars = 0](const QString& text) mutable {
                if (text == bar(100, 140) && ++fullBars == 2)
                    QVERIFY2(truncate(path.constData(), size - 1000000) == 0, strerror(errno));
            };
        }
        const QStringList inputs = namesIn(j.tree.path("in"));
        j.box.log = &j.log;
        j.box.answerNext(MsgAnswer::Yes);
        {
            std::optional<DiskFullAfterOneMegabyte> full;
            if (failure.endsWith("write fails"))
                full.emplace();
            j.create(QStringLiteral("old.bin"));
        }

        QCOMPARE(j.messages(), (QStringList{question("old.bin"), ReadError}));
        j.checkNothingChanged(failure.startsWith("small") ? 301 : 2);
        QCOMPARE(namesIn(j.tree.path("in")), inputs);  // a missing input is not created
        QCOMPARE(j.form.jauge.text(), QString());
        QCOMPARE(j.form.jauge2.text(), QString());
        // After the message, both displays are emptied, then both repainted.
        QCOMPARE(j.log.mid(j.log.size() - 5),
                 (QStringList{ReadError, "jauge2=", "jauge=", "jauge2.refresh", "jauge.refresh"}));
        QCOMPARE(j.text1Focus.count(), 0);
    }
    void noRoomLeftIsAReadError_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("no inode left, replacing a file") << true;
        QTest::newRow("no inode left, new name") << false;
    }
    // A volume out of inodes takes no new file, like one out of blocks: that is
    // a full disk, not a name the system refuses.
    void noRoomLeftIsAReadError()
    {
        QFETCH(bool, replace);
        Join j;
        TmpfsMount volume(j.out, "size=1m,nr_inodes=16");
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.whyNot()));
        const QByteArray old = j.tree.file("out/old.bin", "old content");
        for (int i = 0; i < 64; ++i) {
            const int fd = open((j.out + "/fill" + QByteArray::number(i)).constData(),
                                O_WRONLY | O_CREAT, 0644);
            if (fd < 0)
                break;
            close(fd);
        }
        j.input("a.bin", "new");
        j.box.answerNext(MsgAnswer::Yes);
        const QStringList before = namesIn(j.out);
        const JoinOutcome outcome =
            j.create(replace ? QStringLiteral("old.bin") : QStringLiteral("new.bin"));
        QCOMPARE(j.messages(),
                 (replace ? QStringList{question("old.bin"), ReadError} : QStringList{ReadError}));
        QCOMPARE(outcome.error, ENOSPC);
        QCOMPARE(TempTree::read(old), QByteArray("old content"));
        QCOMPARE(namesIn(j.out), before);
        QCOMPARE(j.text1Focus.count(), 0);
    }
    // Each input is copied for the length measured before the limit was
    // checked: bytes it gains later, whether before it is opened or while it
    // is copied, are not copied.
    void growingInputGivesOnlyItsMeasuredBytes()
    {
        Join j;
        const QByteArray content = pattern(2097153);
        const QByteArray path = j.input("a.bin", content);
        const QByteArray next = j.input("b.bin", "next");
        const auto grow = [](const QByteArray& file) {
            const int fd = open(file.constData(), O_WRONLY | O_APPEND);
            QVERIFY(write(fd, "grown", 5) == 5);
            close(fd);
        };
        j.jauge.onText = [&](const QString& text) {
            if (text == bar(50, 70)) {
                grow(path);
                grow(next);
            }
        };
        j.create(QStringLiteral("joined.bin"));
        QCOMPARE(j.messages(), QStringList{created("joined.bin")});
        QCOMPARE(TempTree::read(j.out + "/joined.bin"), content + "next");
    }
    // Sizes near the largest file size add up past what the total can hold:
    // the sum must still be seen as above the limit, at once.
    void overflowingTotalIsRefused()
    {
        // tmpfs holds sparse files of any size; most disk file systems stop at 16 TiB.
        QTemporaryDir memory(QStringLiteral("/dev/shm/quibex-XXXXXX"));
        const QByteArray huge = QFile::encodeName(memory.path()) + "/huge.bin";
        if (!memory.isValid() || !makeSparse(huge, std::numeric_limits<off_t>::max()))
            QSKIP("no file system here holds a file of 2^63 - 1 bytes");
        Join j;
        j.input("one.bin", "1");
        j.add(huge);
        // Should the copy start, the huge file is emptied so that the test ends
        // at once with a read error instead of running for hours.
        j.jauge.onText = [&](const QString&) { QVERIFY(truncate(huge.constData(), 0) == 0); };
        j.create(QStringLiteral("joined.bin"));
        QCOMPARE(j.messages(),
                 QStringList{stop("Opération impossible: taille totale de plus de 2 Go !")});
        QVERIFY(j.log.isEmpty());
        QCOMPARE(namesIn(j.out), QStringList());
    }
    void inputsAreNeverChanged()
    {
        Join j;
        const QByteArray a = j.input("a.bin", "alpha");
        const QByteArray b = j.input("b.bin", pattern(3000000));
        QVERIFY2(chmod(a.constData(), 0444) == 0, strerror(errno));
        const struct stat before = statOf(b);
        WriteProtection folder(j.tree.path("in"));
        j.create(QStringLiteral("joined.bin"));
        QCOMPARE(j.messages(), QStringList{created("joined.bin")});
        QCOMPARE(TempTree::read(a), QByteArray("alpha"));
        QCOMPARE(TempTree::read(b), pattern(3000000));
        const struct stat after = statOf(b);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        QCOMPARE(statOf(a).st_mode & 07777, 0444u);
        QCOMPARE(namesIn(j.tree.path("in")), (QStringList{"a.bin", "b.bin"}));
        QCOMPARE(TempTree::read(j.out + "/joined.bin"), "alpha" + pattern(3000000));
    }
    void leftoversOfEndedJoins_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<QByteArray>("oldAfter");
        QTest::newRow("temporary of a join killed on the way") << "killed" << true << QByteArray();
        QTest::newRow("backup of a join killed writing into the old file")
            << "backup" << true << QByteArray("old content");
        // The lock a running join holds is not seen through another mount of
        // its folder, as between two clients of a network share.
        QTest::newRow("temporary of a running join, another mount")
            << "mirror" << false << QByteArray();
        QTest::newRow("temporary of a running join, lock not taken")
            << "running" << false << QByteArray();
        QTest::newRow("a user's file in an old spelling") << "look-alike" << false << QByteArray();
        QTest::newRow("made on another machine") << "elsewhere" << false << QByteArray();
        QTest::newRow("another user's") << "other user" << false << QByteArray();
        QTest::newRow("backup whose file was replaced since")
            << "replaced" << false << QByteArray("replaced");
    }
    // A join killed on the way (kill -9, a power loss) leaves its temporary
    // file, or the backup of a file it was writing into; the next join into
    // that folder removes the one and puts the other back. It touches nothing
    // that is not provably an abandoned file of this program's, made by this
    // user on this machine by a process that is gone.
    void leftoversOfEndedJoins()
    {
        QFETCH(QString, kind);
        QFETCH(bool, cleared);
        QFETCH(QByteArray, oldAfter);
        Join j;
        if (!oldAfter.isEmpty())
            j.tree.file("out/old.bin", "old content");
        const QStringList before = namesIn(j.out);
        std::unique_ptr<MirrorMount> mirror;
        std::unique_ptr<LiveChild> running;  // let go of before its mount goes
        QByteArray planted;
        if (kind == "killed") {
            runInChild([&] {
                AtomicFile file;
                if (startTemporary(j.out + "/joined.bin", file))
                    raise(SIGKILL);
                return 1;
            });
        } else if (kind == "backup" || kind == "replaced") {
            QVERIFY(WIFSIGNALED(killWhileWritingInto(j.out)));
            QCOMPARE(TempTree::read(j.out + "/old.bin"), QByteArray("NEW content"));
            if (kind == "replaced") {
                const QByteArray other = j.tree.file("replacement", "replaced");
                QVERIFY(rename(other.constData(), (j.out + "/old.bin").constData()) == 0);
            }
        } else if (kind == "mirror") {
            mirror = std::make_unique<MirrorMount>(j.out, j.tree.folder("mirror"));
            if (!mirror->isMounted())
                QSKIP(qPrintable(mirror->whyNot()));
            running = std::make_unique<LiveChild>([&] {
                static AtomicFile file;  // kept open while the child lives
                startTemporary(j.tree.path("mirror/joined.bin"), file);
            });
        } else if (kind == "running") {
            running = std::make_unique<LiveChild>([&] {
                const QByteArray name = ownName(OwnFile::Temporary);
                close(open((j.out + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600));
            });
        } else if (kind == "look-alike") {
            j.tree.file("out/.quibex-0123456789ab.tmp", "mine");
        } else {
            planted = nameOfAnEndedProcess(OwnFile::Temporary);
            if (kind == "elsewhere")
                planted[8] = planted[8] == '0' ? '1' : '0';  // the machine's first digit
            j.tree.file("out/" + planted, "mine");
            if (kind == "other user" && chown((j.out + '/' + planted).constData(), 5001, 5001) != 0)
                QSKIP("needs root to give a file to another user");
        }
        QStringList left = namesIn(j.out);
        for (const QString& name : before)
            left.removeOne(name);
        QCOMPARE(left.size(), 1);

        j.input("a.bin", "new");
        QCOMPARE(j.create(QStringLiteral("joined.bin")).kind, JoinOutcome::Kind::Created);
        QStringList expected = before + QStringList{"joined.bin"};
        if (!cleared)
            expected << left;
        expected.sort();
        QCOMPARE(namesIn(j.out), expected);
        if (!oldAfter.isEmpty())
            QCOMPARE(TempTree::read(j.out + "/old.bin"), oldAfter);
    }
    void namedTemporaryIsRemovedOnEndingSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        // What Qt does when the display connection is lost, even while a
        // question waits.
        QTest::newRow("exit()") << 0;
    }
    // Where a named temporary file is needed, a program ended by one of these
    // signals in the middle of a join leaves no part of it behind, and still
    // ends by that signal.
    void namedTemporaryIsRemovedOnEndingSignals()
    {
        QFETCH(int, signal);
        constexpr int SetupFailed = 99;
        TempTree tree;
        const QByteArray folder = tree.folder("out");
        const int status = test::runInChild([&] {
            // As at start-up: the test library's own crash handlers are not there.
            for (const int ending : {SIGTERM, SIGINT, SIGHUP})
                std::signal(ending, SIG_DFL);
            setUpProcessSignals();
            Target target;
            AtomicFile file(processSignals());
            if (checkTarget(folder + "/joined.bin", target) != 0
                || file.create(std::move(target), false) != 0)
                return SetupFailed;
            OutputWriter output(file.handle());
            const QByteArray partial(1 << 20, 'p');
            if (output.write(partial.constData(), partial.size()) != 0
                || namesIn(folder).size() != 1)
                return SetupFailed;
            if (signal == 0)
                std::exit(4);
            raise(signal);
            return 3;
        });
        if (signal == 0) {
            // A leak checker run at exit may change how the child ends; what
            // counts is the folder left empty.
            QVERIFY(!WIFEXITED(status) || WEXITSTATUS(status) != SetupFailed);
        } else {
            QVERIFY2(WIFSIGNALED(status), qPrintable(QString::number(WEXITSTATUS(status))));
            QCOMPARE(WTERMSIG(status), signal);
        }
        QCOMPARE(namesIn(folder), QStringList());
    }
};

QTEST_GUILESS_MAIN(JoinTest)
#include "tst_join.moc"
