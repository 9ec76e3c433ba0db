// SPDX-License-Identifier: GPL-3.0-or-later
// Started from a folder of the test's choosing: writes the program folder
// the window would start in, as bytes, on its standard output.
#include "app/ProgramFolder.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray folder = quibex::programFolder();
    std::fwrite(folder.constData(), 1, size_t(folder.size()), stdout);
    return 0;
}
