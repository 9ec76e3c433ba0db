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
    builtIn.addFile(QStringLiteral(":/quibex/icons/quibex-32.png"), QSize(32, 32));
    builtIn.addFile(QStringLiteral(":/quibex/icons/quibex-16.png"), QSize(16, 16));
    // An installed copy finds its icon in the desktop's theme, at every size
    // the theme has; the built-in images serve wherever it is not installed.
    return QIcon::fromTheme(QStringLiteral("quibex"), builtIn);
}

}  // namespace quibex
