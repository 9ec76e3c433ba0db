// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FatMount.h"

#include "toolkit/drives/MountTable.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

#include <csignal>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace quibex::test {

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

}  // namespace

bool isMountPoint(const QByteArray& folder)
{
    const std::vector<MountEntry> mounts = readMountTable();
    return std::any_of(mounts.begin(), mounts.end(),
                       [&](const MountEntry& m) { return m.root == folder; });
}

FatMount::FatMount(const QByteArray& where) : mountPoint(where), image(where + ".img")
{
    const QString mkfs = QStandardPaths::findExecutable("mkfs.vfat", {"/sbin", "/usr/sbin"});
    if (geteuid() != 0 || access("/dev/fuse", R_OK | W_OK) != 0) {
        reason = "needs root and /dev/fuse";
        return;
    }
    if (QStandardPaths::findExecutable("fusefat").isEmpty() || mkfs.isEmpty()) {
        reason = "needs fusefat and mkfs.vfat";
        return;
    }
    const int fd = open(image.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool made = fd >= 0 && ftruncate(fd, 32 << 20) == 0;
    if (fd >= 0)
        close(fd);
    if (!made || !run(mkfs, {QString::fromLocal8Bit(image)})) {
        reason = "the FAT image could not be made";
        return;
    }
    // In the foreground, as a child that the kernel kills when this process
    // dies; auto_unmount then takes the mount away with the server.
    fusefat = std::make_unique<QProcess>();
    // Nobody reads what it says: a full pipe would stop it mid-request.
    fusefat->setStandardOutputFile(QProcess::nullDevice());
    fusefat->setStandardErrorFile(QProcess::nullDevice());
    fusefat->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    fusefat->start("fusefat",
                   {"-f", "-o", "rw+,auto_unmount", QString::fromLocal8Bit(image),
                    QString::fromLocal8Bit(mountPoint)});
    // The server mounts once it has started; it is given ample time.
    QElapsedTimer waited;
    waited.start();
    while (fusefat->state() != QProcess::NotRunning && !isMountPoint(mountPoint)
           && waited.elapsed() < 30000)
        QThread::msleep(10);
    mounted = fusefat->state() != QProcess::NotRunning && isMountPoint(mountPoint);
    if (!mounted)
        reason = "the FAT image could not be mounted";
}

FatMount::~FatMount()
{
    if (fusefat) {
        kill(pid_t(fusefat->processId()), SIGCONT);  // a test may have stopped it
        if (mounted)
            run("fusermount", {"-u", QString::fromLocal8Bit(mountPoint)});
        if (!fusefat->waitForFinished(30000))
            fusefat->kill();
        fusefat->waitForFinished();
    }
    unlink(image.constData());
}

pid_t FatMount::server() const
{
    return fusefat ? pid_t(fusefat->processId()) : 0;
}

}  // namespace quibex::test
