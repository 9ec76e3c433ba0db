// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/InputFile.h"

#include "join/fs/Failure.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace quibex {

int InputFile::open(int folder, const QByteArray& path, int64_t measured, const FileId& id)
{
    close();
    length = measured;
    sparse = false;
    if (path.isEmpty() || path.contains('\0'))
        return ENOENT;
    // O_NONBLOCK keeps a pipe that took a selected file's name from blocking
    // the open; it changes nothing for a regular file.
    const int opened =
        openat(folder, path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (opened < 0)
        return errno;
    fd.reset(opened);
    struct stat info;
    if (fstat(opened, &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    // Renamed over since it was measured: the bytes would be another file's.
    if (FileId::of(info) != id)
        return InputReplaced;
    if (info.st_size < length)
        return InputEndedEarly;
    sparse = int64_t(info.st_blocks) * 512 < info.st_size;
    return 0;
}

}  // namespace quibex
