// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TmpfsMount.h"

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

namespace quibex::test {

TmpfsMount::TmpfsMount(const QByteArray& mountPoint, const char* options) : folder(mountPoint)
{
    mounted = mount("quibex-test", folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options) == 0;
    if (!mounted)
        reason = QStringLiteral("cannot mount a tmpfs here (%1): needs root")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
}

TmpfsMount::~TmpfsMount()
{
    unmount();
}

bool TmpfsMount::unmount()
{
    // Detached, so that a folder still open somewhere cannot keep it mounted.
    if (mounted && umount2(folder.constData(), MNT_DETACH) == 0)
        mounted = false;
    return !mounted;
}

}  // namespace quibex::test
