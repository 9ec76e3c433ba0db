// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartFolder.h"

#include "toolkit/FolderReader.h"

#include <QList>

#include <unistd.h>

namespace quibex {

namespace {

bool onSearchPath(const QByteArray& folder, const QByteArray& searchPath)
{
    for (const QByteArray& entry : searchPath.split(':')) {
        // An empty entry means the current folder, which is not where
        // installed programs go.
        if (!entry.isEmpty() && withoutTrailingSlash(entry) == folder)
            return true;
    }
    return false;
}

}  // namespace

QByteArray startFolder(const QByteArray& programFolder, const QByteArray& searchPath,
                       const QByteArray& homeFolder)
{
    const QByteArray folder = withoutTrailingSlash(programFolder);
    const bool installed =
        onSearchPath(folder, searchPath) || access(folder.constData(), W_OK) != 0;
    if (installed && !homeFolder.isEmpty() && access(homeFolder.constData(), X_OK) == 0)
        return withoutTrailingSlash(homeFolder);
    return folder;
}

}  // namespace quibex
