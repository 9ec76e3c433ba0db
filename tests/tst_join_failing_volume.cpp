// SPDX-License-Identifier: GPL-3.0-or-later
// Joins onto a volume that fails as network and FUSE file systems do: a
// write lost over quota reported at close (at every close, once, or only at
// the last), no quota left for a new file, calls interrupted by EINTR, a
// removal that fails once, listings without entry types. The volume is a
// small FUSE file system (tests/helpers/failing_fs.py) mounted in the mode
// a row asks for; needs root or FUSE rights, /dev/fuse and python3-fusepy;
// skipped without.

#include "support/FatMount.h"
#include "support/JoinFixture.h"

#include <QProcess>
#include <QTest>

#include <csignal>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

// The failing volume mounted on a folder for as long as it lives.
class FailingMount {
public:
    FailingMount(const QByteArray& mountPoint, const QString& mode) : folder(mountPoint)
    {
        if (access("/dev/fuse", R_OK | W_OK) != 0) {
            reason = "needs /dev/fuse";
            return;
        }
        QProcess probe;
        probe.start("/usr/bin/python3", {"-c", "import fusepy"});
        if (!probe.waitForFinished(-1) || probe.exitCode() != 0) {
            reason = "needs python3-fusepy";
            return;
        }
        daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        daemon.start("/usr/bin/python3", {FAILING_FS, QString::fromLocal8Bit(folder), mode});
        mounted =
            daemon.waitForStarted(-1) && waitForMountState(folder, true, pid_t(daemon.processId()));
        if (!mounted)
            reason = "the FUSE volume could not be mounted";
    }
    ~FailingMount()
    {
        const QString where = QString::fromLocal8Bit(folder);
        // A volume still busy a moment after the join is detached instead.
        if (mounted && QProcess::execute("fusermount", {"-u", where}) != 0)
            QProcess::execute("fusermount", {"-u", "-z", where});
        // The server goes with it; killed, should the unmount have failed,
        // it takes the mount away with it (auto_unmount).
        daemon.kill();
        daemon.waitForFinished(-1);
    }
    QByteArray folder;
    bool mounted = false;
    const char* reason = nullptr;

private:
    QProcess daemon;
};

}  // namespace

class JoinFailingVolumeTest : public QObject {
    Q_OBJECT

private slots:
    void joinOnAFailingVolume_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("made");
        // The volume keeps the first 1,000,000 bytes and says so only at close:
        // no truncated file may be left under the name, nor reported as made,
        // whichever close hears of it.
        // clang-format off
        QTest::newRow("write lost, reported at every close") << "" << "joined.bin" << 3000000 << false;
        QTest::newRow("write lost, reported once") << "once" << "joined.bin" << 3000000 << false;
        QTest::newRow("write lost, reported once, replacing a file") << "once" << "old.bin" << 3000000 << false;
        QTest::newRow("write lost, reported at the last close") << "last-close" << "joined.bin" << 3000000 << false;
        QTest::newRow("fits") << "" << "joined.bin" << 1000 << true;
        // clang-format on
        // A full quota is a lack of room, not a bad name.
        // clang-format off
        QTest::newRow("no quota left for a new file") << "quota" << "joined.bin" << 1000 << false;
        // clang-format on
        // Each file's first read and write are interrupted: made again, they
        // go through. One input is read from the volume, the other from disk.
        // clang-format off
        QTest::newRow("interrupted reads and writes") << "interrupted" << "joined.bin" << 300000 << true;
        // clang-format on
        // The new name is tried by making and removing it: a removal that fails
        // once must not leave an empty file behind a refusal.
        // clang-format off
        QTest::newRow("probe removal fails once") << "" << "unlink-fails-once.bin" << 1000 << true;
        // clang-format on
        // The name is good, since it was made: the join goes on over the probe.
        // clang-format off
        QTest::newRow("probe removal always fails") << "" << "unlink-fails.bin" << 1000 << true;
        // clang-format on
    }
    void joinOnAFailingVolume()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(bool, made);
        Join j;
        FailingMount volume(j.tree.folder("volume"), mode);
        if (!volume.mounted)
            QSKIP(volume.reason);
        // Its listings carry no entry types: the folder and the files are
        // listed all the same.
        j.tree.folder("volume/sub");
        QStringList files;
        if (name == "old.bin") {
            j.tree.file("volume/old.bin", "old content");
            files << name;
        }
        const QByteArray content = pattern(size);
        j.input("a.bin", content);
        QByteArray joined = content;
        if (mode == "interrupted") {
            j.add(j.tree.file("volume/b.bin", "from the volume"));
            joined += "from the volume";
            files << "b.bin";
        }
        j.form.Dir1.setPath(volume.folder);
        j.form.File1.setPath(volume.folder);
        QCOMPARE(texts(j.form.Dir1.list()).last(), QStringLiteral("sub"));
        QCOMPARE(texts(j.form.File1), files);
        j.box.answerNext(MsgAnswer::Yes);
        j.create(name);
        QStringList messages;
        if (files.contains(name))
            messages << question(name);
        if (made) {
            if (!files.contains(name))
                files << name;
            files.sort();
            QCOMPARE(j.messages(), messages << created(name));
            QCOMPARE(TempTree::read(volume.folder + '/' + QFile::encodeName(name)), joined);
            QCOMPARE(texts(j.form.File1), files);
            // Joined over a probe or not, a new file gets the usual new file's bits.
            const mode_t mask = umask(0);
            umask(mask);
            QCOMPARE(statOf(volume.folder + '/' + QFile::encodeName(name)).st_mode & 07777,
                     0666 & ~mask);
        } else {
            QCOMPARE(j.messages(), messages << ReadError);
            QCOMPARE(j.text1Focus.count(), 0);
            if (name == "old.bin")
                QCOMPARE(TempTree::read(volume.folder + "/old.bin"), QByteArray("old content"));
        }
        QStringList names = files + QStringList{"sub"};
        names.sort();
        QCOMPARE(namesIn(volume.folder), names);
    }
};

QTEST_GUILESS_MAIN(JoinFailingVolumeTest)
#include "tst_join_failing_volume.moc"
