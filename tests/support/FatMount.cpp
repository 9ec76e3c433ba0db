// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FatMount.h"

#include "toolkit/drives/MountTable.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

#include <csignal>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quibex::test {

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

}  // namespace

bool isMountPoint(const QByteArray& folder)
{
    const std::vector<MountEntry> mounts = readMountTable();
    return std::any_of(mounts.begin(), mounts.end(),
                       [&](const MountEntry& m) { return m.root == folder; });
}

bool waitForMountState(const QByteArray& folder, bool mounted, pid_t server)
{
    // Opened before the first look: a change made after it is reported by
    // poll even if it came before poll was called.
    const int table = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    const int ended = server > 0 ? int(syscall(SYS_pidfd_open, server, 0)) : -1;
    QElapsedTimer waited;
    waited.start();
    bool there = isMountPoint(folder) == mounted;
    while (!there && table >= 0 && waited.elapsed() < 300000) {
        pollfd events[2] = {{table, POLLPRI, 0}, {ended, POLLIN, 0}};
        poll(events, ended >= 0 ? 2 : 1, 1000);
        there = isMountPoint(folder) == mounted;
        if (ended >= 0 && events[1].revents)
            break;  // the server is gone: what the table says now is final
    }
    if (ended >= 0)
        close(ended);
    if (table >= 0)
        close(table);
    return there;
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
    // The server mounts once it has started, however long that takes. The
    // mount shows before the server has taken it over from fusermount,
    // whose auto_unmount watches the server only from then on: a server
    // killed in between leaves its mount behind. Listing the volume needs
    // the server's answer, so it has taken over once the listing is read.
    mounted = fusefat->waitForStarted(-1) && waitForMountState(mountPoint, true, server());
    if (mounted) {
        DIR* root = opendir(mountPoint.constData());
        mounted = root != nullptr;
        if (root) {
            (void)readdir(root);
            closedir(root);
        }
    }
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
