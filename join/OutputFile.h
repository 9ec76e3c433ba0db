#pragma once

#include "join/UniqueFd.h"

#include <QByteArray>

#include <cstdint>

namespace quibex {

// The file the join writes. Nothing appears under its name, and a file
// already there is neither truncated nor deleted, until the new content is
// complete: the bytes go to a temporary file in the same folder (unnamed
// where the file system allows it, so that a killed program leaves nothing
// at all), which is flushed to disk and then put in place in one rename.
class OutputFile {
public:
    enum class Commit { Done, BadName, Failed };

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { discard(); }

    // Checks that a file can be made at path (a symbolic link there is
    // followed, so the file it points to is the one replaced) and makes the
    // empty temporary file. False, leaving nothing behind, when the path
    // cannot name a writable file: empty, "." or "..", a NUL, too long, a
    // folder, a missing or unwritable folder, a protected file.
    // allowUnnamed false always uses a named temporary file; tests use it to
    // reach the path taken on file systems without unnamed ones.
    bool prepare(const QByteArray& path, bool allowUnnamed = true);

    // A file with at least one byte stands at the path.
    bool targetHasData() const { return targetExists && targetSize > 0; }

    int handle() const { return fd.get(); }
    // Where the next byte goes.
    int64_t position() const { return pos; }
    bool write(const char* data, int64_t length);
    // Counts bytes written at position() through handle() by someone else.
    void advance(int64_t length);
    // Leaves a hole: bytes that read as zeros and are never written.
    void skip(int64_t length) { pos += length; }

    // Flushes the content to disk and puts it under the path, replacing the
    // file there with the same owner and permission bits. BadName when the
    // file system refuses the name only now (some refuse characters that
    // could not be checked beforehand).
    Commit commit();
    // Forgets everything written; the path is left as it was.
    void discard();

    bool isUnnamed() const { return unnamed; }

private:
    bool createTemporary(bool allowUnnamed);
    bool linkInto(const QByteArray& name);
    bool replaceTarget();
    void startWriteback();

    UniqueFd folder;
    UniqueFd fd;
    QByteArray targetName;     // the last part of the resolved path
    QByteArray temporaryName;  // a named temporary in the folder, when there is one
    bool unnamed = false;
    bool targetExists = false;
    int64_t targetSize = 0;
    int64_t pos = 0;
    int64_t writebackFrom = 0;  // bytes before it are already on their way to the disk
};

}  // namespace quibex
