// SPDX-License-Identifier: GPL-3.0-or-later
// Joins onto a FAT file system mounted through FUSE, which has no Unix
// permissions, no holes, names it refuses and no regard for letter case.
// Needs root, FUSE and the fusefat and mkfs.vfat programs; skipped without.

#include "support/FatMount.h"
#include "support/JoinFixture.h"

#include <QProcess>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

// A test run killed while its volume is mounted: the volume is mounted in
// a process of its own (this program, started again), which is then killed.
const char* const HoldVariable = "QUIBEX_TEST_HOLD_FAT";

int holdMountUntilKilled(int argc, char* argv[], const QByteArray& folder)
{
    QCoreApplication app(argc, argv);
    FatMount fat(folder);
    std::printf("%s\n", fat.isMounted() ? "mounted" : "failed");
    std::fflush(stdout);
    for (;;)
        pause();
}

}  // namespace

class JoinFatTest : public QObject {
    Q_OBJECT

private slots:
    void joinOnFat_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("replace a file") << "replace";
        QTest::newRow("sparse input") << "sparse";
        QTest::newRow("name with a colon") << "colon";
        QTest::newRow("selected name in other case") << "case";
        QTest::newRow("run killed while mounted") << "killed";
    }
    void joinOnFat()
    {
        QFETCH(QString, kind);
        Join j;
        if (kind == "killed") {
            const QByteArray folder = j.tree.folder("held");
            QProcess run;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(HoldVariable, QString::fromLocal8Bit(folder));
            run.setProcessEnvironment(environment);
            run.setChildProcessModifier(
                [] { prctl(PR_SET_PDEATHSIG, SIGKILL); });  // dies with this run
            run.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(run.waitForReadyRead(-1));
            const QByteArray said = run.readAll().trimmed();
            if (said != "mounted") {
                run.kill();
                run.waitForFinished();
                QSKIP("no FAT volume could be mounted (needs root, FUSE, fusefat and mkfs.vfat)");
            }
            QVERIFY(isMountPoint(folder));
            kill(pid_t(run.processId()), SIGKILL);
            QVERIFY(run.waitForFinished(-1));
            // Its server dies with it, and the mount with the server: the
            // mount table says when, however busy the machine.
            QVERIFY(waitForMountState(folder, false));
            return;
        }
        FatMount fat(j.tree.folder("fat"));
        if (!fat.isMounted())
            QSKIP(qPrintable(fat.whyNot()));
        j.form.Dir1.setPath(fat.folder());
        j.form.File1.setPath(fat.folder());

        if (kind == "replace") {
            // The new file's mode already is the only one FAT has: nothing to change.
            const QByteArray old = j.tree.file("fat/Old.txt", "old content");
            j.input("a.bin", "new");
            j.box.answerNext(MsgAnswer::Yes);
            // Nothing is made before the answer: a session that ends while the
            // question waits leaves nothing there.
            QStringList whileAsked;
            j.box.onShow = [&] {
                if (whileAsked.isEmpty())
                    whileAsked = namesIn(fat.folder());
            };
            j.create(QStringLiteral("Old.txt"));
            QCOMPARE(whileAsked, QStringList{"Old.txt"});
            QCOMPARE(j.messages(), (QStringList{question("Old.txt"), created("Old.txt")}));
            QCOMPARE(TempTree::read(old), QByteArray("new"));
        } else if (kind == "sparse") {
            // Data, a hole, data, and a hole at the end: FAT gets the zeros written.
            const QByteArray sparse = j.tree.folder("in") + "/sparse.bin";
            QVERIFY(makeSparse(sparse, 5 << 20));
            const int fd = open(sparse.constData(), O_WRONLY);
            QVERIFY(pwrite(fd, "head", 4, 0) == 4 && pwrite(fd, "middle", 6, 3 << 20) == 6);
            close(fd);
            j.add(sparse);
            j.create(QStringLiteral("joined.bin"));
            QCOMPARE(j.messages(), QStringList{created("joined.bin")});
            QByteArray expected(5 << 20, '\0');
            expected.replace(0, 4, "head");
            expected.replace(3 << 20, 6, "middle");
            QCOMPARE(TempTree::read(fat.folder() + "/joined.bin"), expected);
        } else if (kind == "colon") {
            j.input("a.bin", "new");
            j.create(QStringLiteral("a:b"));
            QCOMPARE(j.messages(), QStringList{BadName});
            QCOMPARE(j.text1Focus.count(), 1);
            QVERIFY(j.log.isEmpty());
        } else {
            const QByteArray selected = j.tree.file("fat/Abc.txt", "keep");
            j.add(selected);
            j.create(QStringLiteral("ABC.TXT"));
            QCOMPARE(j.messages(),
                     QStringList{stop("Impossible d'utiliser un nom présent dans la sélection !")});
            QCOMPARE(j.text1Focus.count(), 1);
            QCOMPARE(TempTree::read(selected), QByteArray("keep"));
        }
        // No temporary file is left behind, whatever happened.
        for (const QString& name : namesIn(fat.folder()))
            QVERIFY2(!name.startsWith(".quibex-"), qPrintable(name));
    }
};

int main(int argc, char* argv[])
{
    if (const char* folder = std::getenv(HoldVariable))
        return holdMountUntilKilled(argc, argv, folder);
    QCoreApplication app(argc, argv);
    JoinFatTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_join_fat.moc"
