// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quibex {

struct fmenu;

// Start-up and the browser's two change events.
void Form_Load(fmenu& form);
void Drive1_Change(fmenu& form);
void Dir1_Change(fmenu& form);

}  // namespace quibex
