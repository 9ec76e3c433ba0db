// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/Browser.h"
#include "form/fmenu.h"
#include "toolkit/drives/DriveList.h"

namespace quibex {

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

// The drives are those mounted now: a stick plugged in since start-up is
// listed, one taken out is gone. The folder list's drive stays selected, and
// the drive list asks each volume for a moment only (toolkit/drives/), so a
// volume that stopped answering never holds the window.
void rereadDrives(fmenu& form)
{
    form.Drive1.updateDrives(DriveList::mountedDrives(), form.Dir1.nativePath());
}

}  // namespace quibex
