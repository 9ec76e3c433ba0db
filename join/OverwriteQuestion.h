// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/fs/Failure.h"

#include <QString>

#include <optional>

namespace quibex {

struct fmenu;
class AtomicFile;

// "Le fichier … existe déjà. Voulez-vous l'écraser ?": true on "Oui".
bool userAgreesToReplace(fmenu& form, const QString& name);

// Puts the finished file under its name. A file that came there while the
// join ran (another program, another join) is not replaced unasked: the
// question comes now. False when the user answered No.
bool placeAskingFirst(fmenu& form, const QString& name, AtomicFile& file,
                      std::optional<Failure>& failure);

}  // namespace quibex
