// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/UriList.h"

#include <QSysInfo>

namespace quibex {

namespace {

// "file:///p", "file://localhost/p", "file://<this machine>/p" or "file:/p"
// give "/p"; anything else gives nothing.
QByteArray localPath(const QByteArray& uri)
{
    if (!uri.toLower().startsWith("file:"))
        return {};
    QByteArray rest = uri.mid(5);
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0)
            return {};
        const QByteArray host = rest.mid(2, slash - 2).toLower();
        if (!host.isEmpty() && host != "localhost"
            && host != QSysInfo::machineHostName().toUtf8().toLower())
            return {};
        rest = rest.mid(slash);
    }
    // A query or fragment is no part of a path; a '?' or '#' in a name comes escaped.
    for (const char stop : {'?', '#'}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0)
            rest.truncate(at);
    }
    const QByteArray path = QByteArray::fromPercentEncoding(rest);
    if (!path.startsWith('/') || path.contains('\0'))
        return {};
    return path;
}

}  // namespace

QList<QByteArray> localPathsOf(const QByteArray& uriList)
{
    QList<QByteArray> paths;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();  // lines end in CR LF
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QByteArray path = localPath(line);
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

}  // namespace quibex
