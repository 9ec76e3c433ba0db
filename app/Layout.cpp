// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Layout.h"

#include <QWidget>

namespace quibex {

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height));
}

QFont regularFont()
{
    // Captions were measured for a narrow 8-point sans serif; a font with
    // the same widths keeps them from being clipped.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    return font;
}

QFont boldFont()
{
    QFont font = regularFont();
    font.setWeight(QFont::Bold);
    return font;
}

}  // namespace quibex
