// SPDX-License-Identifier: GPL-3.0-or-later
// Joins onto a volume that fails as network and FUSE file systems do: a
// write lost over quota reported only at close, a removal that fails once.
// The volume is a small FUSE file system (tests/helpers/failing_fs.py);
// needs root or FUSE rights, /dev/fuse and python3-fusepy; skipped without.

#include "support/FatMount.h"
#include "support/JoinFixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

// The failing volume mounted on a folder for as long as it lives.
class FailingMount {
public:
    explicit FailingMount(const QByteArray& mountPoint) : folder(mountPoint)
    {
        if (access("/dev/fuse", R_OK | W_OK) != 0) {
            reason = "needs /dev/fuse";
            return;
        }
        QProcess probe;
        probe.start("/usr/bin/python3", {"-c", "import fusepy"});
        if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
            reason = "needs python3-fusepy";
            return;
        }
        daemon.start("/usr/bin/python3", {FAILING_FS, QString::fromLocal8Bit(folder)});
        // Mounting takes the daemon a moment; it is not a matter of speed.
        for (int wait = 0; wait < 300 && !isMountPoint(folder); ++wait) {
            if (daemon.state() == QProcess::NotRunning)
                break;
            QTest::qWait(20);
        }
        mounted = isMountPoint(folder);
        if (!mounted)
            reason = "the FUSE volume could not be mounted";
    }
    ~FailingMount()
    {
        if (mounted) {
            QProcess::execute("fusermount", {"-u", QString::fromLocal8Bit(folder)});
            daemon.waitForFinished(30000);
        }
        if (daemon.state() != QProcess::NotRunning) {
            daemon.kill();
            daemon.waitForFinished(30000);
        }
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
    void joinOnAFailingVolume_data();
    void joinOnAFailingVolume();
};

void JoinFailingVolumeTest::joinOnAFailingVolume_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("made");
    // The volume keeps the first 1,000,000 bytes and says so only at close:
    // no truncated file may be left under the name, nor reported as made.
    QTest::newRow("write lost, reported at close") << "joined.bin" << 3000000 << false;
    QTest::newRow("fits") << "joined.bin" << 1000 << true;
    // The new name is tried by making and removing it: a removal that fails
    // once must not leave an empty file behind a refusal.
    QTest::newRow("probe removal fails once") << "unlink-fails-once.bin" << 1000 << true;
    // The name is good, since it was made: the join goes on over the probe.
    QTest::newRow("probe removal always fails") << "unlink-fails.bin" << 1000 << true;
}

void JoinFailingVolumeTest::joinOnAFailingVolume()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(bool, made);
    Join j;
    FailingMount volume(j.tree.folder("volume"));
    if (!volume.mounted)
        QSKIP(volume.reason);
    j.form.Dir1.setPath(volume.folder);
    j.form.File1.setPath(volume.folder);
    const QByteArray content = pattern(size);
    j.input("a.bin", content);
    j.create(name);
    if (made) {
        QCOMPARE(j.messages(), QStringList{created(name)});
        QCOMPARE(TempTree::read(volume.folder + '/' + QFile::encodeName(name)), content);
        QCOMPARE(namesIn(volume.folder), QStringList{name});
        // Joined over a probe or not, a new file gets the usual new file's bits.
        const mode_t mask = umask(0);
        umask(mask);
        QCOMPARE(statOf(volume.folder + '/' + QFile::encodeName(name)).st_mode & 07777,
                 0666 & ~mask);
    } else {
        QCOMPARE(j.messages(), QStringList{ReadError});
        QCOMPARE(namesIn(volume.folder), QStringList());
    }
}

QTEST_GUILESS_MAIN(JoinFailingVolumeTest)
#include "tst_join_failing_volume.moc"
