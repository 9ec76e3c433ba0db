// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/Browser.h"
#include "form/fmenu.h"

namespace quibex {

// The file list follows the folder list, and the drive list shows the drive
// holding the folder: opening a mount point enters another drive.
void Dir1_Change(fmenu& form)
{
    form.File1.setPath(form.Dir1.nativePath());
    // When that drive changes, its drive change runs here and finds the
    // folder list already on the drive's remembered folder, this very
    // folder: nothing moves and nothing runs again.
    form.Drive1.setDrive(form.Drive1.driveOf(form.Dir1.nativePath()));
    form.Refresh();
}

}  // namespace quibex
