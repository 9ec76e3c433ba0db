#include "join/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace quibex {

bool InputFile::open(const QByteArray& path)
{
    close();
    length = 0;
    sparse = false;
    if (path.isEmpty() || path.contains('\0'))
        return false;
    // O_NONBLOCK keeps a pipe that took a selected file's name from blocking
    // the open; it changes nothing for a regular file.
    const int opened = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (opened < 0)
        return false;
    fd.reset(opened);
    struct stat info;
    if (fstat(opened, &info) != 0 || !S_ISREG(info.st_mode)) {
        close();
        return false;
    }
    length = info.st_size;
    sparse = int64_t(info.st_blocks) * 512 < length;
    return true;
}

}  // namespace quibex
