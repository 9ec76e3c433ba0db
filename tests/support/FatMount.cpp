// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FatMount.h"

#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
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

FatMount::FatMount(const QByteArray& where) : mountPoint(where), image(where + ".img")
{
    const QString mkfs = QStandardPaths::findExecutable("mkfs.vfat", {"/sbin", "/usr/sbin"});
    if (mkfs.isEmpty()) {
        reason = "needs mkfs.vfat";
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
    fuse = std::make_unique<FuseServer>("fusefat",
                                        QStringList{"-f", "-o", "rw+,auto_unmount",
                                                    QString::fromLocal8Bit(image),
                                                    QString::fromLocal8Bit(mountPoint)},
                                        mountPoint);
}

FatMount::~FatMount()
{
    fuse.reset();
    unlink(image.constData());
}

}  // namespace quibex::test
