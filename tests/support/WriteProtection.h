// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace quibex::test {

// Makes a file or folder unwritable for as long as the guard lives: its
// write permissions are removed and, for a program running as root, which
// permissions do not stop, the file system's immutable flag is set.
class WriteProtection {
public:
    explicit WriteProtection(const QByteArray& path);
    ~WriteProtection();
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

    // False when neither way stops this program from writing there.
    bool isEffective() const;

private:
    QByteArray path;
    unsigned int mode = 0;
    bool immutable = false;
};

}  // namespace quibex::test
