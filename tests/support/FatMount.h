// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/FuseServer.h"

#include <QByteArray>
#include <QString>

#include <memory>

#include <sys/types.h>

namespace quibex::test {

// A small FAT image mounted through FUSE (fusefat) on a folder for as long
// as the guard lives. Needs root, /dev/fuse, fusefat and mkfs.vfat; a test
// that gets no volume skips, giving the reason.
class FatMount {
public:
    explicit FatMount(const QByteArray& mountPoint);
    ~FatMount();
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;

    bool isMounted() const { return fuse && fuse->isMounted(); }
    QString whyNot() const { return fuse ? fuse->whyNot() : reason; }
    QByteArray folder() const { return mountPoint; }
    // The program serving the volume.
    pid_t server() const { return fuse ? fuse->pid() : 0; }

private:
    QByteArray mountPoint;
    QByteArray image;
    std::unique_ptr<FuseServer> fuse;
    QString reason;
};

}  // namespace quibex::test
