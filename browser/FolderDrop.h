// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

namespace quibex {

struct fmenu;

// Folders or files dropped on the folder list from a file manager
// (DropOnFolderList.cpp).
void Dir1_OLEDragDrop(fmenu& form, const QList<QByteArray>& paths);

}  // namespace quibex
