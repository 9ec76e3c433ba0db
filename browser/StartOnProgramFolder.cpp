// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/Browser.h"
#include "form/fmenu.h"

namespace quibex {

// Puts the browser on the program's own folder and starts with an empty
// selection and an empty name.
void Form_Load(fmenu& form)
{
    form.Drive1.setDrive(form.Drive1.driveOf(form.programFolder));
    form.Dir1.setPath(form.programFolder);
    form.File1.setPath(form.Dir1.nativePath());
    form.Text1.setText(QString());
    form.Text2.setText(QString());
    form.List3.clear();
    form.List1.clear();
    form.List2.clear();
    form.Refresh();
}

}  // namespace quibex
