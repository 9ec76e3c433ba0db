// SPDX-License-Identifier: GPL-3.0-or-later
// Joins onto a FAT file system mounted through FUSE, which has no Unix
// permissions, no holes, names it refuses and no regard for letter case.
// Needs root, FUSE and the fusefat and mkfs.vfat programs; skipped without.

#include "support/JoinFixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

// A small FAT image mounted on a folder for as long as it lives.
class FatMount {
public:
    explicit FatMount(const QByteArray& mountPoint) : folder(mountPoint), image(mountPoint + ".img")
    {
        if (geteuid() != 0 || access("/dev/fuse", R_OK | W_OK) != 0) {
            reason = "needs root and /dev/fuse";
            return;
        }
        if (QStandardPaths::findExecutable("fusefat").isEmpty()
            || QStandardPaths::findExecutable("mkfs.vfat", {"/sbin", "/usr/sbin"}).isEmpty()) {
            reason = "needs fusefat and mkfs.vfat";
            return;
        }
        const int fd = open(image.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        mounted = fd >= 0 && ftruncate(fd, 32 << 20) == 0;
        if (fd >= 0)
            close(fd);
        mounted = mounted && run(QStandardPaths::findExecutable("mkfs.vfat", {"/sbin", "/usr/sbin"}),
                                 {QString::fromLocal8Bit(image)})
                  && run("fusefat", {"-o", "rw+", QString::fromLocal8Bit(image),
                                     QString::fromLocal8Bit(folder)});
        if (!mounted)
            reason = "the FAT image could not be mounted";
    }
    ~FatMount()
    {
        if (mounted)
            run("fusermount", {"-u", QString::fromLocal8Bit(folder)});
        unlink(image.constData());
    }
    QByteArray folder;
    QByteArray image;
    bool mounted = false;
    const char* reason = nullptr;
};

}  // namespace

class JoinFatTest : public QObject {
    Q_OBJECT

private slots:
    void joinOnFat_data();
    void joinOnFat();
};

void JoinFatTest::joinOnFat_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("replace a file") << "replace";
    QTest::newRow("sparse input") << "sparse";
    QTest::newRow("name with a colon") << "colon";
    QTest::newRow("selected name in other case") << "case";
}

void JoinFatTest::joinOnFat()
{
    QFETCH(QString, kind);
    Join j;
    FatMount fat(j.tree.folder("fat"));
    if (!fat.mounted)
        QSKIP(fat.reason);
    j.form.Dir1.setPath(fat.folder);
    j.form.File1.setPath(fat.folder);

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
                whileAsked = namesIn(fat.folder);
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
        QCOMPARE(TempTree::read(fat.folder + "/joined.bin"), expected);
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
        QCOMPARE(j.messages(), QStringList{stop("Impossible d'utiliser un nom présent dans la sélection !")});
        QCOMPARE(j.text1Focus.count(), 1);
        QCOMPARE(TempTree::read(selected), QByteArray("keep"));
    }
    // No temporary file is left behind, whatever happened.
    for (const QString& name : namesIn(fat.folder))
        QVERIFY2(!name.startsWith(".quibex-"), qPrintable(name));
}

QTEST_GUILESS_MAIN(JoinFatTest)
#include "tst_join_fat.moc"
