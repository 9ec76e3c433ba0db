// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <vector>

namespace quibex {

// The output's path is, text for text, the path of a selected file. Asks
// nothing of any volume: the window refuses such a name at once.
bool isSelectedPath(const std::vector<QByteArray>& paths, const QByteArray& fullPath);

// The output names a selected file under another spelling ("./", "../", a
// link, a hard link), or, in the same folder on a file system that ignores
// letter case, a name equal but for case. Asks the volumes of the output
// and of every input: run away from the window's thread.
bool namesASelectedFile(const std::vector<QByteArray>& paths, const QByteArray& fullPath);

}  // namespace quibex
