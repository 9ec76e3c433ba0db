// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/OverwriteQuestion.h"

#include "form/fmenu.h"
#include "join/JoinMessages.h"
#include "join/Joiner.h"
#include "toolkit/OffWindowThread.h"

#include <cerrno>

namespace quibex {

bool userAgreesToReplace(fmenu& form, const QString& name)
{
    const QString question = QStringLiteral("Le fichier ") + name
        + QStringLiteral(" existe déjà. Voulez-vous l'écraser ?");
    return form.MsgBox(question, joinTitle(), MsgIcon::None, MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool placeAskingFirst(fmenu& form, const QString& name, Joiner& joiner,
                      std::optional<Failure>& failure)
{
    int error = offWindowThread([&] { return joiner.place(); });
    if (error == EEXIST) {
        if (!userAgreesToReplace(form, name))
            return false;
        error = offWindowThread([&] { return joiner.replaceWhatIsThere(); });
    }
    if (error)
        failure =
            Failure{error == CopyStopped ? Failure::Step::Stopped : Failure::Step::Placing, error};
    return true;
}

}  // namespace quibex
