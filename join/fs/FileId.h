// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace quibex {

// Which file a path named when it was looked at: the same device and inode
// are the same file, whatever its names.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;

    static FileId of(const struct stat& info) { return {info.st_dev, info.st_ino}; }
    bool operator==(const FileId&) const = default;
};

inline bool sameFile(const struct stat& a, const struct stat& b)
{
    return FileId::of(a) == FileId::of(b);
}

}  // namespace quibex
