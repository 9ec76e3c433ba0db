// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FuseServer.h"

#include "support/Lists.h"
#include "toolkit/drives/MountTable.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

#include <csignal>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>

#include <sys/prctl.h>
#include <unistd.h>

namespace quibex::test {

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

FuseServer::FuseServer(const QString& program, const QStringList& arguments,
                       const QByteArray& where)
    : mountPoint(where)
{
    if (geteuid() != 0 || access("/dev/fuse", R_OK | W_OK) != 0) {
        reason = "needs root and /dev/fuse";
        return;
    }
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        reason = "needs " + program;
        return;
    }
    server = std::make_unique<QProcess>();
    // Nobody reads what it says: a full pipe would stop it mid-request.
    server->setStandardOutputFile(QProcess::nullDevice());
    server->setStandardErrorFile(QProcess::nullDevice());
    server->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    server->start(program, arguments);
    // The server mounts once it has started, however long that takes. The
    // mount shows before the server has taken it over from fusermount,
    // whose auto_unmount watches the server only from then on: a server
    // killed in between leaves its mount behind. Listing the volume needs
    // the server's answer, so it has taken over once the listing is read.
    mounted = server->waitForStarted(-1) && waitForMountState(mountPoint, true, pid());
    if (mounted) {
        DIR* root = opendir(mountPoint.constData());
        mounted = root != nullptr;
        if (root) {
            (void)readdir(root);
            closedir(root);
        }
    }
    if (!mounted)
        reason = program + " could not mount its volume";
}

FuseServer::~FuseServer()
{
    if (!server)
        return;
    kill(pid(), SIGCONT);  // a test may have stopped it
    if (mounted) {
        QProcess unmount;
        // Lazily: a file still open there must not keep the server waiting.
        unmount.start("fusermount", {"-uz", QString::fromLocal8Bit(mountPoint)});
        unmount.waitForFinished(-1);
    }
    if (!server->waitForFinished(30000))
        server->kill();
    server->waitForFinished();
}

pid_t FuseServer::pid() const
{
    return server ? pid_t(server->processId()) : 0;
}

QStringList namesOnceSettled(const QByteArray& folder)
{
    const QRegularExpression hidden("^\\.fuse_hidden");
    QElapsedTimer waited;
    waited.start();
    QStringList names = namesIn(folder);
    while (!names.filter(hidden).isEmpty() && waited.elapsed() < 60000) {
        QThread::msleep(5);
        names = namesIn(folder);
    }
    return names;
}

MirrorMount::MirrorMount(const QByteArray& source, const QByteArray& mountPoint)
    : fuse("bindfs",
           {"-f", "-o", "auto_unmount", QString::fromLocal8Bit(source),
            QString::fromLocal8Bit(mountPoint)},
           mountPoint)
{
}

}  // namespace quibex::test
