// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/Inputs.h"
#include "join/fs/UniqueFd.h"

#include <QByteArray>

#include <cstdint>

namespace quibex {

// One selected file, opened for reading only: the join never creates an
// input, never truncates one and never writes to one.
class InputFile {
public:
    // Opens the file to copy length bytes of it, the length measured before
    // the join started: bytes it gained since are not copied. Returns 0, or
    // the errno: a path that names nothing that can be read as a regular
    // file, InputReplaced when it names another file than measured (id),
    // or InputEndedEarly for a file now shorter than length.
    // The file is name in the folder open as folder (AT_FDCWD: a path).
    [[nodiscard]] int open(int folder, const QByteArray& name, int64_t length, const FileId& id);
    void close() { fd.reset(); }

    int handle() const { return fd.get(); }
    int64_t size() const { return length; }
    // Fewer blocks are allocated than the size needs: the file has holes
    // (or is compressed), and the copier looks for them.
    bool maySkipHoles() const { return sparse; }

private:
    UniqueFd fd;
    int64_t length = 0;
    bool sparse = false;
};

}  // namespace quibex
