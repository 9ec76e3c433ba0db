// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace quibex {

// The name, version and desktop entry by which desktops know the program,
// so that its window is matched to its menu entry and icon.
void setIdentity(QApplication& app);

// The interface is French whatever the locale: Qt's own texts (the text
// box's menu, say) are loaded in French too. False when they are not
// installed; the program then runs with Qt's English texts.
bool loadFrenchTranslations(QApplication& app);

// All the above, as the program does it before it shows its window.
void prepareApplication(QApplication& app);

}  // namespace quibex
