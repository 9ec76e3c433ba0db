// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <vector>

namespace quibex {

// The output names a selected file: the same text, or the same file under
// another spelling ("./", "../", a link, a hard link), or, in the same
// folder on a file system that ignores letter case, a name equal but for
// case.
bool isInSelection(const std::vector<QByteArray>& paths, const QByteArray& fullPath);

}  // namespace quibex
