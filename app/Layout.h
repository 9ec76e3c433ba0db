// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

class QWidget;

namespace quibex {

// The controls' places are given in twips; at 96 dots per inch 15 twips
// make one pixel, and Qt scales pixels on high-density screens.
constexpr int fromTwips(int twips)
{
    return (twips + 7) / 15;
}

void placeTwips(QWidget* widget, int left, int top, int width, int height);

// The window's standard font, and its bold form used by most captions.
QFont regularFont();
QFont boldFont();

}  // namespace quibex
