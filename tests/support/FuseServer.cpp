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

#include <sys/prctl.h>
#include <unistd.h>

namespace quibex::test {

bool isMountPoint(const QByteArray& folder)
{
    const std::vector<MountEntry> mounts = readMountTable();
    return std::any_of(mounts.begin(), mounts.end(),
                       [&](const MountEntry& m) { return m.root == folder; });
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
    // The server mounts once it has started: it is waited for until it has
    // either mounted or ended.
    QElapsedTimer waited;
    waited.start();
    while (server->state() != QProcess::NotRunning && !isMountPoint(mountPoint)
           && waited.elapsed() < 60000)
        QThread::msleep(10);
    mounted = server->state() != QProcess::NotRunning && isMountPoint(mountPoint);
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
