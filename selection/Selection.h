// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <vector>

namespace quibex {

struct fmenu;

// Commands that build the selection (List1: names, List2: folders).
void File1_Click(fmenu& form);
void Command4_Click(fmenu& form);                 // "Ajouter toute la liste"
void Command3_Click(fmenu& form);                 // "Retirer"
void Command6_Click(fmenu& form);                 // "Retirer tout"
void Command1_Click(fmenu& form, int16_t index);  // 0 "Haut", 1 "Bas"
// Files dropped on the selection, by their full paths as bytes, in the
// order dropped: added at the end by the rules of "Ajouter toute la liste".
void List1_OLEDragDrop(fmenu& form, const QList<QByteArray>& paths);

// Proposes "." and the first entry's extension as the name of the file to create.
void ProposerNom(fmenu& form);

// The path of entry i as bytes on disk: the folder and the name exactly as
// they were picked, even when the shown name has changed since (the plain
// sort shows names in lower case) or cannot be written as text.
QByteArray entryNativePath(const fmenu& form, int i);
// Every entry's path, in the selection's order.
std::vector<QByteArray> selectedPaths(const fmenu& form);

}  // namespace quibex
