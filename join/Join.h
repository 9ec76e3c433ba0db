// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "join/JoinOutcome.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace quibex {

struct fmenu;

// "Créer" (index 1) and "Quitter" (index 2).
JoinOutcome Command2_Click(fmenu& form, int16_t index);

// Joins the selection into the file at fullPath (bytes on disk: the file
// list's folder, "/", the name); name is the bare name, used in messages.
JoinOutcome CreerFichier(fmenu& form, const QByteArray& fullPath, const QString& name);

}  // namespace quibex
