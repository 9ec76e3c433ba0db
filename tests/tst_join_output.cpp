#include "join/AtomicFile.h"
#include "join/ChunkCopier.h"
#include "join/InputFile.h"
#include "join/OutputWriter.h"
#include "join/Sizes.h"
#include "join/TargetCheck.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quibex;
using quibex::test::TempTree;

namespace {

QStringList namesIn(const QByteArray& folder)
{
    return QDir(QFile::decodeName(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

// The output file and the copier on the paths the join takes only on some
// file systems: a named temporary where unnamed ones do not exist, and
// reading and writing where the kernel cannot copy.
class TestJoinOutput : public QObject {
    Q_OBJECT

private slots:
    void namedTemporaryIsReplacedOrRemoved_data();
    void namedTemporaryIsReplacedOrRemoved();
    void copyThroughBuffer_data();
    void copyThroughBuffer();
};

void TestJoinOutput::namedTemporaryIsReplacedOrRemoved_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("commit");
    QTest::newRow("new file") << false << true;
    QTest::newRow("replaced file") << true << true;
    QTest::newRow("discarded over a file") << true << false;
    QTest::newRow("discarded") << false << false;
}

void TestJoinOutput::namedTemporaryIsReplacedOrRemoved()
{
    QFETCH(bool, existing);
    QFETCH(bool, commit);
    TempTree tree;
    const QByteArray target = tree.folder("out") + "/joined.bin";
    if (existing) {
        tree.file("out/joined.bin", "old");
        QVERIFY(chmod(target.constData(), 0604) == 0);
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
        if (commit) {
            QCOMPARE(file.makeDurable(), 0);
            QCOMPARE(file.place(), 0);
        }
    }
    QCOMPARE(namesIn(tree.path("out")), commit ? QStringList{"joined.bin"} : before);
    if (commit)
        QCOMPARE(TempTree::read(target), QByteArray("new"));
    else if (existing)
        QCOMPARE(TempTree::read(target), QByteArray("old"));
    struct stat info;
    if (existing)
        QVERIFY(stat(target.constData(), &info) == 0 && (info.st_mode & 07777) == 0604);
}

void TestJoinOutput::copyThroughBuffer_data()
{
    QTest::addColumn<bool>("shrink");
    QTest::newRow("whole range") << false;
    QTest::newRow("input shorter than the range") << true;
}

void TestJoinOutput::copyThroughBuffer()
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
    QCOMPARE(in.open(input, length), 0);
    if (shrink)
        QVERIFY(truncate(input.constData(), 2 * DisplayChunk) == 0);

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
    QCOMPARE(file.place(), 0);
    QByteArray expected(length + 1, '\0');
    expected.replace(0, 5, "<head");
    expected.replace(length - 3, 4, "tail");
    QCOMPARE(TempTree::read(tree.path("out.bin")), expected);
}

QTEST_GUILESS_MAIN(TestJoinOutput)
#include "tst_join_output.moc"
