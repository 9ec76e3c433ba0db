// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace quibex {

// Where the browser opens. A copy the user placed in a folder of their own
// (a build folder, a portable folder) opens on that folder, next to the
// files it is kept with. An installed copy lives in a folder of the search
// path, or one the user may not write to, full of other programs: it opens
// on the user's home folder instead.
QByteArray startFolder(const QByteArray& programFolder, const QByteArray& searchPath,
                       const QByteArray& homeFolder);

}  // namespace quibex
