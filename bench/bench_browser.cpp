// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and "Ajouter toute la liste" on a folder of 32,767 files, in the
// real window. Prints wall times; a reference measured in the same run (a
// bare listing of the folder) puts them in proportion.
#include "app/MainWindow.h"
#include "selection/Selection.h"
#include "widgets/Pacing.h"
#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

using namespace quibex;

namespace {

constexpr int Files = 32767;

double seconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

double bareListing(const QByteArray& folder)
{
    QElapsedTimer t;
    t.start();
    int n = 0;
    DIR* dir = opendir(folder.constData());
    while (readdir(dir))
        ++n;
    closedir(dir);
    return seconds(t);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir tmp(QDir::currentPath() + QStringLiteral("/bench-browser-XXXXXX"));
    const QByteArray folder = QFile::encodeName(tmp.path());
    for (int i = 0; i < Files; ++i) {
        const QByteArray name =
            folder + "/Fichier " + QByteArray::number(i * 7919 % Files) + ".txt";
        close(open(name.constData(), O_WRONLY | O_CREAT, 0644));
    }
    std::printf("platform %s, %d files\n", qPrintable(QGuiApplication::platformName()), Files);
    std::printf("reference: bare listing of the folder        %8.3f s\n", bareListing(folder));

    for (int run = 1; run <= 3; ++run) {
        ScriptedMessageBox box;
        QElapsedTimer t;
        t.start();
        MainWindow window(folder, box);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        QCoreApplication::processEvents();
        const double startUp = seconds(t);

        t.restart();
        const long paintsBefore = synchronousRepaints();
        Command4_Click(window.form());
        const long paints = synchronousRepaints() - paintsBefore;
        QCoreApplication::processEvents();
        const double addAll = seconds(t);
        const int added = window.form().List1.count();

        t.restart();
        Command4_Click(window.form());
        QCoreApplication::processEvents();
        const double again = seconds(t);

        t.restart();
        window.form().File1.reread();
        const double reread = seconds(t);
        std::printf("run %d: file list read again %.3f s\n", run, reread);
        std::printf(
            "run %d: start-up %.3f s (limit 0.5) | add all %.3f s for %d entries (limit 1) | "
            "again %.3f s, %d added (limit 1) | %ld repaints while adding\n",
            run, startUp, addAll, added, again, window.form().List1.count() - added, paints);
    }
    return 0;
}
