// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramIcon.h"

// The images are compiled into the program's static library, where no code
// refers to them: unless something calls their registration, the linker
// leaves them out and the window silently goes without an icon. The call
// must stand outside any namespace.
static void registerIconImages()
{
    Q_INIT_RESOURCE(quibex);
}

namespace quibex {

QIcon programIcon()
{
    registerIconImages();
    // PNG images: reading them needs no image plugin. Every size is drawn
    // for itself, so that its one-pixel lines stay crisp; the larger ones
    // serve screens scaled 1.5 or 2 times. The images are those an install
    // puts in the desktop's theme, but the theme is not asked: Qt answers a
    // 24-pixel request there with the 22-pixel image, and the window would
    // go without its 24-pixel one.
    QIcon icon;
    for (const int side : {64, 48, 32, 24, 22, 16})
        icon.addFile(QStringLiteral(":/quibex/icons/quibex-%1.png").arg(side), QSize(side, side));
    return icon;
}

}  // namespace quibex
