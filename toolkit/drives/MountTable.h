// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <vector>

namespace quibex {

// One line of the system's mount table, its texts as the exact bytes the
// system uses: a mount point may hold a line feed, or bytes that are not
// valid UTF-8, and must still name that folder.
struct MountEntry {
    QByteArray root;    // where the file system is mounted
    QByteArray type;    // "ext4", "tmpfs", "fuse"...
    QByteArray source;  // "/dev/sda1", the server's share...
};

// The file systems mounted now, as this process sees them. Reading the
// table asks the kernel only: no mounted volume is touched, so a volume
// that no longer answers cannot hold the reader up. Empty when the table
// cannot be read.
std::vector<MountEntry> readMountTable();

// A field of the table: the system writes a space, tab, line feed and
// backslash of a path as a backslash and three octal digits.
QByteArray unescapeMountField(const QByteArray& field);

}  // namespace quibex
