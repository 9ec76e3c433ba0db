// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "join/Join.h"
#include "toolkit/FolderReader.h"

#include <QFile>

namespace quibex {

namespace {

// Only the space character is trimmed: a tab or any other blank at either
// end is part of the name the user typed.
QString withoutSurroundingSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

}  // namespace

JoinOutcome Command2_Click(fmenu& form, int16_t index)
{
    if (index == 2) {
        form.window.end();
        return {JoinOutcome::Kind::Quit};
    }
    if (index != 1)
        return {JoinOutcome::Kind::NoSuchButton};
    // Text2 holds the last name proposed; while Text1 still holds exactly
    // that, the user has not named the file yet.
    if (form.Text1.text() == form.Text2.text()) {
        form.MsgBox(QStringLiteral("Donnez un nom au fichier à créer !"),
                    QStringLiteral("Contrôle"), MsgIcon::Critical);
        form.Text1.setFocus();
        return {JoinOutcome::Kind::NotNamed};
    }
    const QString name = withoutSurroundingSpaces(form.Text1.text());
    return CreerFichier(form, joinPath(form.File1.nativePath(), QFile::encodeName(name)), name);
}

}  // namespace quibex
