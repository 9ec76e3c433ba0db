// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/Inputs.h"

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>

namespace quibex {

namespace {

int64_t saturatingSum(int64_t a, int64_t b)
{
    int64_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        return std::numeric_limits<int64_t>::max();
    return sum;
}

}  // namespace

int InputFolder::folderOf(const QByteArray& file, QByteArray& name)
{
    const qsizetype slash = file.lastIndexOf('/');
    if (slash <= 0) {
        name = file;
        return AT_FDCWD;
    }
    const QByteArray folder = file.left(slash);
    if (folder != path) {
        path = folder;
        fd.reset(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    if (!fd.isOpen()) {
        name = file;
        return AT_FDCWD;
    }
    name = file.mid(slash + 1);
    return fd.get();
}

int measureInputs(const std::vector<QByteArray>& paths, Inputs& inputs)
{
    InputFolder folders;
    QByteArray name;
    inputs = Inputs();
    inputs.files.reserve(paths.size());
    for (const QByteArray& path : paths) {
        struct stat info;
        if (path.contains('\0'))
            return ENOENT;
        const int folder = folders.folderOf(path, name);
        if (fstatat(folder, name.constData(), &info, 0) != 0)
            return errno;
        if (!S_ISREG(info.st_mode))
            return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        inputs.files.push_back({path, info.st_size, FileId::of(info)});
        inputs.total = saturatingSum(inputs.total, info.st_size);
    }
    return 0;
}

}  // namespace quibex
