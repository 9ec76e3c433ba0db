// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/Failure.h"

#include <QString>

#include <optional>

namespace quibex {

struct fmenu;
class Joiner;

// "Le fichier … existe déjà. Voulez-vous l'écraser ?", No being the default.
bool userAgreesToReplace(fmenu& form, const QString& name);

// Puts the finished file under its name, away from the window's thread. A
// file that came there while the join ran (another program, another join)
// is not replaced unasked: the question comes now. False when the user
// answered No; a failure is handed back in failure.
bool placeAskingFirst(fmenu& form, const QString& name, Joiner& joiner,
                      std::optional<Failure>& failure);

}  // namespace quibex
