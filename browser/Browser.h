// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

struct fmenu;

// Start-up (StartOnProgramFolder.cpp) and the browser's two change events
// (DriveChange.cpp, FolderChange.cpp).
void Form_Load(fmenu& form);
void Drive1_Change(fmenu& form);
void Dir1_Change(fmenu& form);
// Reads the mounted drives again when they may have changed: the drop-down
// is opened, or the system's mount table changed (DriveChange.cpp).
void rereadDrives(fmenu& form);

}  // namespace quibex
