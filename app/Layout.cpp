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
    // the same widths keeps them from being clipped. Qt takes the first of
    // these installed under that very name (it does not follow fontconfig
    // from "Arial" to a font of Arial's widths): every font made to those
    // widths is named before the wider DejaVu Sans, Liberation Sans (the
    // package's), Arimo (fonts-croscore), Nimbus Sans (fonts-urw-base35).
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Nimbus Sans L"), QStringLiteral("Arial"),
                      QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
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
