// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/Browser.h"
#include "form/fmenu.h"
#include "toolkit/drives/DriveList.h"

namespace quibex {

// The drives are those mounted now: a stick plugged in since start-up is
// listed, one taken out is gone. The folder list's drive stays selected, and
// the drive list asks each volume for a moment only (toolkit/drives/), so a
// volume that stopped answering never holds the window.
void rereadDrives(fmenu& form)
{
    form.Drive1.updateDrives(DriveList::mountedDrives(), form.Dir1.nativePath());
}

}  // namespace quibex
