// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include <sys/types.h>

class QProcess;

namespace quibex::test {

// A small FAT image mounted through FUSE on a folder for as long as the
// guard lives: a volume served by a program of its own, which a test can
// stop (kill -STOP) to get a volume that no longer answers. Needs root,
// /dev/fuse, fusefat and mkfs.vfat; a test that gets no volume skips,
// giving the reason.
//
// The server runs as this process's child and dies with it, and the mount
// goes with the server: a test run that is killed leaves no mount behind.
class FatMount {
public:
    explicit FatMount(const QByteArray& mountPoint);
    ~FatMount();
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;

    bool isMounted() const { return mounted; }
    QString whyNot() const { return reason; }
    QByteArray folder() const { return mountPoint; }
    // The program serving the volume.
    pid_t server() const;

private:
    QByteArray mountPoint;
    QByteArray image;
    std::unique_ptr<QProcess> fusefat;
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

}  // namespace quibex::test
