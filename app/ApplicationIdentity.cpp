// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplicationIdentity.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quibex {

void setIdentity(QApplication& app)
{
    app.setApplicationName(QStringLiteral("quibex"));
    app.setApplicationVersion(QStringLiteral(QUIBEX_VERSION));
    app.setDesktopFileName(QStringLiteral("quibex"));
}

bool loadFrenchTranslations(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    app.installTranslator(translator);
    return true;
}

void prepareApplication(QApplication& app)
{
    setIdentity(app);
    loadFrenchTranslations(app);
}

}  // namespace quibex
