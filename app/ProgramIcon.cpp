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
    // PNG images: reading them needs no image plugin.
    QIcon builtIn;
    // The larger ones serve screens scaled 1.5 or 2 times.
    for (const int side : {64, 48, 32, 16})
        builtIn.addFile(QStringLiteral(":/quibex/icons/quibex-%1.png").arg(side),
                        QSize(side, side));
    // An installed copy finds its icon in the desktop's theme, at every size
    // the theme has; the built-in images serve wherever it is not installed.
    return QIcon::fromTheme(QStringLiteral("quibex"), builtIn);
}

}  // namespace quibex
