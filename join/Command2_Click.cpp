#include "form/fmenu.h"
#include "join/Join.h"

namespace quibex {

void Command2_Click(fmenu& form, int16_t index)
{
    if (index == 2)
        form.window.end();
}

void CreerFichier(fmenu&, const QByteArray&, const QString&) {}

}  // namespace quibex
