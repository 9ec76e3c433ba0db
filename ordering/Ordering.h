// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

struct fmenu;

void Command8_Click(fmenu& form);  // "Tri normal"
void Command7_Click(fmenu& form);  // "Tri évolué"

}  // namespace quibex
