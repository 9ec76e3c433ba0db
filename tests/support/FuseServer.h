// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

#include <sys/types.h>

class QProcess;

namespace quibex::test {

// A FUSE file system served by a program of its own, mounted on a folder
// for as long as the guard lives. The server runs in the foreground as this
// process's child and dies with it, and mounts with auto_unmount: a test
// run that is killed leaves no mount behind. A test can stop the server
// (kill -STOP) to get a volume that no longer answers.
class FuseServer {
public:
    // Starts program with its arguments (the mount point last among them)
    // and waits until the folder is mounted. Needs root and /dev/fuse.
    FuseServer(const QString& program, const QStringList& arguments, const QByteArray& mountPoint);
    ~FuseServer();
    FuseServer(const FuseServer&) = delete;
    FuseServer& operator=(const FuseServer&) = delete;

    bool isMounted() const { return mounted; }
    QString whyNot() const { return reason; }
    pid_t pid() const;

private:
    QByteArray mountPoint;
    std::unique_ptr<QProcess> server;
    bool mounted = false;
    QString reason;
};

// Whether a folder is a mount point now, by the system's mount table.
bool isMountPoint(const QByteArray& folder);

// Waits until the folder is a mount point (mounted) or no longer one, woken
// by the mount table's own change events, not by the clock: a loaded
// machine only makes it later. Waiting for a mount, it gives up when the
// server given has ended first. Returns whether the folder got there; the
// ceiling of five minutes is a last resort against a mount that never comes.
bool waitForMountState(const QByteArray& folder, bool mounted, pid_t server = 0);

// The names in a folder once a FUSE server has forgotten the files removed
// while still open: it keeps each under a hidden name until the file's
// close reaches it, which comes in its own time.
QStringList namesOnceSettled(const QByteArray& folder);

// Another mount of a folder (bindfs), as a second client of one shared
// folder sees it: the same files, but locks taken through one mount are not
// seen through the other, and a rename cannot be told not to replace.
class MirrorMount {
public:
    MirrorMount(const QByteArray& source, const QByteArray& mountPoint);
    bool isMounted() const { return fuse.isMounted(); }
    QString whyNot() const { return fuse.whyNot(); }

private:
    FuseServer fuse;
};

}  // namespace quibex::test
