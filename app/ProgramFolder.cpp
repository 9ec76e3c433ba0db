// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

namespace quibex {

namespace {

// The program file's path exactly as the system knows it. Qt's own answer
// goes through a text, and comes back empty for a path that is not valid
// UTF-8.
QByteArray programFile()
{
    QByteArray path(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", path.data(), size_t(path.size()));
        if (n < 0)
            return {};
        if (n < path.size())
            return path.left(n);
        path.resize(path.size() * 2);  // the link may have been cut short
    }
}

}  // namespace

QByteArray programFolder()
{
    const QByteArray file = programFile();
    const qsizetype slash = file.lastIndexOf('/');
    if (slash < 0)  // no /proc: Qt's answer is the best there is
        return QFile::encodeName(QCoreApplication::applicationDirPath());
    return slash == 0 ? QByteArray("/") : file.left(slash);
}

}  // namespace quibex
