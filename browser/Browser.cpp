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

// The folder list follows the drive list to that drive's current folder. A
// drive that cannot be read puts the browser back, silently, on the drive
// and the folder it showed before.
void Drive1_Change(fmenu& form)
{
    const QByteArray previous = form.Dir1.nativePath();
    if (form.Dir1.setDrive(form.Drive1.drive()) && form.File1.setPath(form.Dir1.nativePath())) {
        form.Refresh();
        return;
    }
    // Selecting the previous drive runs this handler again for it; should
    // that drive fail too, the selection does not change a second time, so
    // the recovery cannot loop.
    form.Drive1.setDrive(form.Drive1.driveOf(previous));
    form.Dir1.setPath(previous);
    form.File1.setPath(previous);
}

}  // namespace quibex
