#pragma once

#include "join/UniqueFd.h"

#include <QByteArray>

#include <cstdint>

namespace quibex {

// One selected file, opened for reading only: the join never creates an
// input, never truncates one and never writes to one.
class InputFile {
public:
    // False when the path names nothing that can be read as a regular file
    // (missing, unreadable, a folder, a device).
    bool open(const QByteArray& path);
    void close() { fd.reset(); }

    int handle() const { return fd.get(); }
    // The size the file had when it was opened.
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
