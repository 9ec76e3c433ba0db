// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/AtomicFile.h"
#include "join/fs/ChunkCopier.h"
#include "join/fs/InputFile.h"
#include "join/fs/OutputWriter.h"
#include "join/fs/Sizes.h"
#include "join/fs/TargetCheck.h"
#include "support/Lists.h"
#include "support/TempTree.h"

#include <QTest>

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quibex;
using quibex::test::namesIn;
using quibex::test::TempTree;

namespace {

FileId idOf(const QByteArray& path)
{
    struct stat info { };
    stat(path.constData(), &info);
    return {info.st_dev, info.st_ino};
}

}  // namespace

// The file-system core alone, linked without the rest of the program: the
// output file and the copier on the paths the join takes only on some file
// systems, a named temporary where unnamed ones do not exist, and reading
// and writing where the kernel cannot copy.
class JoinOutputTest : public QObject {
    Q_OBJECT

private slots:
    void namedTemporaryIsReplacedOrRemoved_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("commit");
        QTest::addColumn<bool>("takenMeanwhile");
        QTest::newRow("new file") << false << true << false;
        QTest::newRow("replaced file") << true << true << false;
        QTest::newRow("discarded over a file") << true << false << false;
        QTest::newRow("discarded") << false << false << false;
        // Another program wrote the name meanwhile: not replaced unasked.
        QTest::newRow("name taken meanwhile") << false << false << true;
    }
    void namedTemporaryIsReplacedOrRemoved()
    {
        QFETCH(bool, existing);
        QFETCH(bool, commit);
        QFETCH(bool, takenMeanwhile);
        TempTree tree;
        const QByteArray target = tree.folder("out") + "/joined.bin";
        if (existing) {
            tree.file("out/joined.bin", "old");
            QVERIFY2(chmod(target.constData(), 0604) == 0, strerror(errno));
        }
        const QStringList before = namesIn(tree.path("out"));
        {
            Target checked;
            QCOMPARE(checkTarget(target, checked), 0);
            QCOMPARE(checked.hasData(), existing);
            AtomicFile file;
            QCOMPARE(file.create(std::move(checked), false), 0);
            QVERIFY(!file.isUnnamed());
            QCOMPARE(namesIn(tree.path("out")).size(), before.size() + 1);
            OutputWriter output(file.handle());
            QCOMPARE(output.write("new", 3), 0);
            QCOMPARE(output.finish(), 0);
            Placed how = Placed::WrittenIntoOld;
            if (commit) {
                QCOMPARE(file.makeDurable(), 0);
                QCOMPARE(file.place(how), 0);
                QCOMPARE(how, Placed::Renamed);
            }
            if (takenMeanwhile) {
                tree.file("out/joined.bin", "old");
                QCOMPARE(file.place(how), EEXIST);
                existing = true;
            }
        }
        QCOMPARE(namesIn(tree.path("out")),
                 commit || takenMeanwhile ? QStringList{"joined.bin"} : before);
        if (commit)
            QCOMPARE(TempTree::read(target), QByteArray("new"));
        else if (existing)
            QCOMPARE(TempTree::read(target), QByteArray("old"));
        struct stat info;
        if (existing && !takenMeanwhile)
            QVERIFY(stat(target.constData(), &info) == 0 && (info.st_mode & 07777) == 0604);
    }
    void copyThroughBuffer_data()
    {
        QTest::addColumn<bool>("shrink");
        QTest::newRow("whole range") << false;
        QTest::newRow("input shorter than the range") << true;
    }
    void copyThroughBuffer()
    {
        QFETCH(bool, shrink);
        TempTree tree;
        // Data, a hole, data: three chunks, the middle one never written.
        const QByteArray input = tree.file("in.bin");
        const int fd = open(input.constData(), O_WRONLY);
        QVERIFY(pwrite(fd, "head", 4, 0) == 4 && pwrite(fd, "tail", 4, 3 * DisplayChunk) == 4);
        close(fd);
        const int64_t length = 3 * DisplayChunk + 4;
        InputFile in;
        QCOMPARE(in.open(AT_FDCWD, input, length, idOf(input)), 0);
        if (shrink)
            QVERIFY2(truncate(input.constData(), 2 * DisplayChunk) == 0, strerror(errno));

        Target target;
        QCOMPARE(checkTarget(tree.path("out.bin"), target), 0);
        AtomicFile file;
        QCOMPARE(file.create(std::move(target)), 0);
        OutputWriter output(file.handle());
        QCOMPARE(output.write("<", 1), 0);
        ChunkCopier copier(false);
        int error = 0;
        for (int64_t offset = 0; offset < length && !error; offset += DisplayChunk)
            error = copier.copy(in, offset, std::min(DisplayChunk, length - offset), output);
        QCOMPARE(error != 0, shrink);
        if (shrink)
            return;
        QVERIFY(!copier.usesKernelCopy());
        QCOMPARE(output.finish(), 0);
        Placed how;
        QCOMPARE(file.place(how), 0);
        QByteArray expected(length + 1, '\0');
        expected.replace(0, 5, "<head");
        expected.replace(length - 3, 4, "tail");
        QCOMPARE(TempTree::read(tree.path("out.bin")), expected);
    }
    // Without the kernel's copy, a chunk goes through memory; a disk that is
    // full must fail that very chunk, not the next one, or the progress display
    // would show more copied than was.
    void fullDiskFailsTheChunkItHits()
    {
        TempTree tree;
        const QByteArray input = tree.file("in.bin", QByteArray(DisplayChunk, 'x'));
        InputFile in;
        QCOMPARE(in.open(AT_FDCWD, input, DisplayChunk, idOf(input)), 0);
        const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (full < 0)
            QSKIP("this machine has no /dev/full");
        OutputWriter output(full);
        ChunkCopier copier(false);
        QCOMPARE(copier.copy(in, 0, DisplayChunk, output), ENOSPC);
        close(full);
    }
};

QTEST_GUILESS_MAIN(JoinOutputTest)
#include "tst_join_output.moc"
