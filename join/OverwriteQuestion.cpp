// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/OverwriteQuestion.h"

#include "form/fmenu.h"
#include "join/JoinMessages.h"
#include "join/fs/AtomicFile.h"

#include <cerrno>

namespace quibex {

bool userAgreesToReplace(fmenu& form, const QString& name)
{
    const QString question = QStringLiteral("Le fichier ") + name
        + QStringLiteral(" existe déjà. Voulez-vous l'écraser ?");
    return form.MsgBox(question, joinTitle(), MsgIcon::None, MsgButtons::YesNo) == MsgAnswer::Yes;
}

// Puts the finished file under its name. A file that came there while the
// join ran (another program, another join) is not replaced unasked: the
// question comes now. False when the user answered No.
bool placeAskingFirst(fmenu& form, const QString& name, AtomicFile& file,
                      std::optional<Failure>& failure)
{
    int error = file.place();
    if (error == EEXIST) {
        if (!userAgreesToReplace(form, name))
            return false;
        error = file.replaceWhatIsThere();
    }
    if (error)
        failure = Failure{Failure::Step::Placing, error};
    return true;
}

}  // namespace quibex
