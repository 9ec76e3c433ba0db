// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/FileId.h"
#include "join/fs/UniqueFd.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

#include <sys/types.h>

namespace quibex {

// One selected file as the join copies it: its path, the length it had
// when measured, and which file that was. It is copied for exactly that
// length, so the total held to the limit is the total written.
struct InputToCopy {
    QByteArray path;
    int64_t length = 0;
    FileId id;
};

struct Inputs {
    std::vector<InputToCopy> files;
    // The sum of the lengths; the largest value when the sum passes it,
    // which is far above any limit.
    int64_t total = 0;
};

// Measures every file to join, given by its path. Returns 0, or the errno for the first one
// that is missing or not a regular file. One stat per file keeps this pass
// cheap on thousands of small files; a file that exists but may not be
// read fails when it is opened to be copied.
[[nodiscard]] int measureInputs(const std::vector<QByteArray>& paths, Inputs& inputs);

// The folder of the inputs met last, kept open so that thousands of files
// of one folder are each found by their name alone, not their whole path.
class InputFolder {
public:
    // A descriptor for the folder of path, and the name of the file in it.
    // The descriptor is AT_FDCWD with the whole path as the name where the
    // folder cannot be opened.
    int folderOf(const QByteArray& path, QByteArray& name);

private:
    QByteArray path;
    UniqueFd fd;
};

}  // namespace quibex
