// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TempTree.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex::test {

TempTree::TempTree() = default;

namespace {

int removeOne(const char* path, const struct stat*, int, FTW*)
{
    ::remove(path);
    return 0;
}

}  // namespace

// Removes the tree with the system's own calls: names that are not valid
// UTF-8 cannot be removed through Qt's file names.
TempTree::~TempTree()
{
    if (dir.isValid())
        nftw(path().constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

QByteArray TempTree::path() const
{
    return QFile::encodeName(dir.path());
}

QByteArray TempTree::path(const QByteArray& relative) const
{
    return path() + '/' + relative;
}

QByteArray TempTree::folder(const QByteArray& relative) const
{
    const QByteArray full = path(relative);
    QByteArray walked;
    for (const QByteArray& part : full.split('/')) {
        walked += part + '/';
        mkdir(walked.constData(), 0755);
    }
    return full;
}

QByteArray TempTree::file(const QByteArray& relative, const QByteArray& content) const
{
    const qsizetype slash = relative.lastIndexOf('/');
    if (slash > 0)
        folder(relative.left(slash));
    const QByteArray full = path(relative);
    // POSIX calls, not QFile: names that are not valid UTF-8 must reach the disk unchanged.
    const int fd = open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        qsizetype done = 0;
        while (done < content.size()) {
            const ssize_t n = write(fd, content.constData() + done, size_t(content.size() - done));
            if (n < 0 && errno == EINTR)  // some volumes let signals interrupt a write
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        close(fd);
    }
    return full;
}

QByteArray TempTree::read(const QByteArray& path)
{
    QByteArray content;
    const int fd = open(path.constData(), O_RDONLY);
    if (fd < 0)
        return content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)  // some volumes let signals interrupt a read
            continue;
        if (n <= 0)
            break;
        content.append(buffer, n);
    }
    close(fd);
    return content;
}

}  // namespace quibex::test
