#pragma once

#include "join/UniqueFd.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

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

    // Writing through the handle directly needs flush() first: small writes
    // may still be held in memory.
    int handle() const { return fd.get(); }
    // Where the next byte goes.
    int64_t position() const { return pos; }
    // Small writes are gathered in memory and written together; a failure
    // may therefore show only at a later write, flush() or commit().
    bool write(const char* data, int64_t length);
    // Counts bytes written at position() through handle() by someone else.
    void advance(int64_t length);
    // Leaves a hole: bytes that read as zeros and are never written.
    void skip(int64_t length) { pos += length; }

    // Room in memory for the next length bytes of the output (at most
    // GatherSize), to be filled by the caller and then counted by
    // gathered(length). Null when writing what was held before failed.
    char* gatherArea(int64_t length);
    void gathered(int64_t length);
    // Writes what is held in memory. False when that write fails.
    bool flush();

    // Writes at most this long are gathered; longer ones go straight out.
    static constexpr int64_t GatherSize = 2097152;

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
    bool writeOut(const char* data, int64_t length, int64_t at);

    UniqueFd folder;
    UniqueFd fd;
    QByteArray targetName;     // the last part of the resolved path
    QByteArray temporaryName;  // a named temporary in the folder, when there is one
    bool unnamed = false;
    bool targetExists = false;
    int64_t targetSize = 0;
    int64_t pos = 0;
    int64_t writebackFrom = 0;  // bytes before it are already on their way to the disk
    // Bytes of the output not written yet: they belong at gatheredAt.
    std::unique_ptr<char[]> gather;
    int64_t gatheredAt = 0;
    int64_t gatheredLength = 0;
};

}  // namespace quibex
