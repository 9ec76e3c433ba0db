// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"
#include "app/ProgramFolder.h"
#include "app/StartFolder.h"
#include "app/ApplicationIdentity.h"
#include "toolkit/ProcessSignals.h"

#include <QApplication>
#include <QDir>
#include <QFile>

int main(int argc, char* argv[])
{
    quibex::setUpProcessSignals();
    QApplication app(argc, argv);
    quibex::prepareApplication(app);
    const QByteArray folder = quibex::startFolder(quibex::programFolder(), qgetenv("PATH"),
                                                  QFile::encodeName(QDir::homePath()));
    quibex::MainWindow window(folder);
    window.show();
    return app.exec();
}
