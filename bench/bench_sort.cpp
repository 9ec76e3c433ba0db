// SPDX-License-Identifier: GPL-3.0-or-later
// Times "Tri normal" and "Tri évolué" on a full selection of 32,767 entries:
// numbered scans in shuffled order, mixed extensions, some names twice in
// different folders. Each figure covers the command, the rebuild of List1 and
// List2 and, in the real window, the repaint of the list that shows them.
// Prints figures only; nothing here passes or fails.

#include "app/MainWindow.h"
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "toolkit/ListBox.h"
#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

using namespace quibex;

namespace {

struct Entry {
    QString name;
    QString folder;
};

std::vector<Entry> makeSelection()
{
    const QString extensions[] = {QStringLiteral(".jpg"),
                                  QStringLiteral(".JPG"),
                                  QStringLiteral(".txt"),
                                  QStringLiteral(".pdf"),
                                  QString(),
                                  QStringLiteral(".tar.gz"),
                                  QStringLiteral(".TXT")};
    std::vector<int> numbers(ListBox::MaxItems);
    std::iota(numbers.begin(), numbers.end(), 1);
    QRandomGenerator random(2024);
    std::shuffle(numbers.begin(), numbers.end(), random);

    std::vector<Entry> entries;
    entries.reserve(numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) {
        const int n = numbers[i];
        const QString folder = QStringLiteral("/home/user/scans/lot%1").arg(i % 37);
        // One entry in 50 repeats an earlier name from another folder.
        if (i % 50 == 49)
            entries.push_back({entries[i - 17].name, folder + QStringLiteral("/copies")});
        else
            entries.push_back({QStringLiteral("scan%1%2").arg(n).arg(extensions[n % 7]), folder});
    }
    return entries;
}

void fill(fmenu& form, const std::vector<Entry>& entries)
{
    form.List1.clear();
    form.List2.clear();
    for (const Entry& e : entries) {
        form.List1.addItem(e.name, e.name.toUtf8());
        form.List2.addItem(e.folder, e.folder.toUtf8());
    }
}

struct Figures {
    double min = 0;
    double median = 0;
    double max = 0;
};

Figures measure(int repetitions, const std::function<void()>& prepare,
                const std::function<void()>& run)
{
    std::vector<double> ms;
    for (int r = 0; r < repetitions; ++r) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

void report(const char* what, const Figures& f)
{
    std::printf("  min %7.1f ms   median %7.1f ms   max %7.1f ms   %s\n", f.min, f.median, f.max,
                what);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int repetitions = 7;
    const std::vector<Entry> entries = makeSelection();
    std::printf("%zu entries, %d repetitions per figure\n", entries.size(), repetitions);

    QTemporaryDir startFolder;  // an empty folder, so the browser reads next to nothing
    for (const QString& localeName : {QString(), QStringLiteral("fr_FR")}) {
        QLocale::setDefault(localeName.isEmpty() ? QLocale::system() : QLocale(localeName));
        std::printf("\nlocale %s\n", qPrintable(QLocale().name()));

        {
            ScriptedMessageBox box;
            fmenu form(box);
            const auto prepare = [&] {
                fill(form, entries);
                form.Text1.setText(QString());
            };
            report("form without widgets, Tri normal",
                   measure(repetitions, prepare, [&] { Command8_Click(form); }));
            report("form without widgets, Tri évolué",
                   measure(repetitions, prepare, [&] { Command7_Click(form); }));
        }
        {
            ScriptedMessageBox box;
            MainWindow window(QFile::encodeName(startFolder.path()), box);
            window.show();
            QApplication::processEvents();
            fmenu& form = window.form();
            const auto prepare = [&] {
                fill(form, entries);
                form.Text1.setText(QString());
                QApplication::processEvents();
                window.repaint();
            };
            // The handler runs, then the event loop lays the list out again
            // and the window is drawn: what the user waits for.
            const auto shown = [&](void (*command)(fmenu&)) {
                return [&, command] {
                    command(form);
                    QApplication::processEvents();
                    window.repaint();
                };
            };
            report("real window (offscreen), Tri normal",
                   measure(repetitions, prepare, shown(Command8_Click)));
            report("real window (offscreen), Tri évolué",
                   measure(repetitions, prepare, shown(Command7_Click)));
        }
    }
    return 0;
}
