// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the drive, folder and file lists kept in step.
#include "browser/Browser.h"
#include "support/FatMount.h"
#include "support/FormFixture.h"
#include "support/Lists.h"
#include "support/StoppedServer.h"

#include <QtTest>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

// Runs a program named by its exact bytes; returns what it wrote on its
// standard output, or nothing when it could not be started.
QByteArray outputOf(const QByteArray& program)
{
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    char* const argv[] = {const_cast<char*>(program.constData()), nullptr};
    pid_t child = 0;
    const bool started =
        posix_spawn(&child, program.constData(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    QByteArray out;
    char buffer[4096];
    ssize_t n;
    while (started && (n = read(ends[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, n);
    close(ends[0]);
    int status = 0;
    if (started)
        waitpid(child, &status, 0);
    return out;
}

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

private slots:
    void startsEmptyOnTheProgramFolder()
    {
        FormFixture fx;
        fmenu& f = *fx.form;
        QCOMPARE(f.Dir1.nativePath(), fx.tree.path());
        QCOMPARE(f.File1.nativePath(), fx.tree.path());
        QCOMPARE(f.Drive1.drive(), QString::fromUtf8(fx.tree.path()));
        QVERIFY(f.Text1.text().isEmpty());
        QVERIFY(f.Text2.text().isEmpty());
        QVERIFY(f.jauge.text().isEmpty());
        QVERIFY(f.jauge2.text().isEmpty());
        QCOMPARE(f.List1.count() + f.List2.count() + f.List3.count(), 0);
        QCOMPARE(f.Check1.value() + f.Check2.value(), 0);
        // Start-up ends by painting the window it has filled.
        QSignalSpy repaints(&f.window, &Surface::repaintRequested);
        Form_Load(f);
        QVERIFY(repaints.count() > 0);
    }

    // The program started from a folder whose name is not valid UTF-8
    // still knows that folder, to the byte.
    void programFolderKeepsItsBytes()
    {
        TempTree tree;
        const QByteArray folder = tree.folder("programme-\xe9\xff");
        const QByteArray program =
            tree.file("programme-\xe9\xff/sonde", TempTree::read(PROGRAM_FOLDER_PROBE));
        QCOMPARE(chmod(program.constData(), 0755), 0);
        char real[PATH_MAX];
        QVERIFY(realpath(folder.constData(), real));
        QCOMPARE(outputOf(program), QByteArray(real));
    }

    void folderListShowsChainAndSubfolders()
    {
        FormFixture fx;
        fx.tree.folder("a/b/Zed");
        fx.tree.folder("a/b/alpha");
        fx.tree.folder("a/b/.secret");
        fx.tree.file("a/b/f.txt");
        fx.tree.file("a/g.txt");
        fmenu& f = *fx.form;
        fx.browse(fx.tree.path("a/b"));
        const QString root = QString::fromUtf8(fx.tree.path());
        // Each item is the folder's name alone; its depth comes apart.
        QCOMPARE(texts(f.Dir1.list()), QStringList({root, "a", "b", "alpha", "Zed"}));
        QCOMPARE(QList<int>({f.Dir1.depth(0), f.Dir1.depth(1), f.Dir1.depth(2), f.Dir1.depth(3),
                             f.Dir1.depth(4)}),
                 QList<int>({0, 1, 2, 3, 3}));
        QCOMPARE(f.Dir1.list().listIndex(), 2);  // the current folder is highlighted
        QCOMPARE(texts(f.File1), QStringList({"f.txt"}));
        // Opening a folder of the chain goes back up; the file list follows.
        QVERIFY(f.Dir1.open(1));
        QCOMPARE(f.Dir1.nativePath(), fx.tree.path("a"));
        QCOMPARE(f.File1.nativePath(), fx.tree.path("a"));
        QCOMPARE(texts(f.File1), QStringList({"g.txt"}));
        // The root keeps its one slash.
        fx.browse("/");
        QCOMPARE(f.Dir1.nativePath(), "/");
    }

    // Each drive keeps the folder last shown on it; browsing never touches
    // the selection or the name.
    void drivesRememberTheirFolder()
    {
        FormFixture fx;
        TempTree other;
        other.file("sub/on-d.txt");
        fmenu& f = *fx.form;
        fx.tree.file("c/on-c.txt");
        f.Drive1.setDrives({{fx.tree.path(), {}}, {other.path(), "DONNEES"}});
        f.List1.addItem("kept");
        f.List2.addItem("/kept");
        f.Text1.setText("nom.txt");

        fx.browse(fx.tree.path("c"));
        f.Drive1.setDrive(QString::fromUtf8(other.path()) + " [DONNEES]");
        QCOMPARE(f.Dir1.nativePath(), other.path());
        QCOMPARE(f.File1.nativePath(), other.path());
        fx.browse(other.path("sub"));
        QCOMPARE(texts(f.File1), QStringList({"on-d.txt"}));

        f.Drive1.setDrive(QString::fromUtf8(fx.tree.path()));
        QCOMPARE(f.Dir1.nativePath(), fx.tree.path("c"));
        QCOMPARE(f.File1.nativePath(), fx.tree.path("c"));
        f.Drive1.setDrive(f.Drive1.driveOf(other.path()));
        QCOMPARE(f.Dir1.nativePath(), other.path("sub"));
        QCOMPARE(f.File1.nativePath(), f.Dir1.nativePath());
        QCOMPARE(f.List1.item(0), "kept");
        QCOMPARE(f.Text1.text(), "nom.txt");
        QVERIFY(fx.box.shown().empty());
    }

    // The drive list shows the drive holding the folder list's folder, also
    // when the folder list opens the root of a drive mounted inside another.
    // Reading the mounted drives again keeps the selection and each drive's
    // folder; picking the shown drive goes to its folder as any pick does.
    void driveListShowsTheFolderListsDrive()
    {
        FormFixture fx;
        fmenu& f = *fx.form;
        const QByteArray stick = fx.tree.folder("cle");
        fx.tree.folder("cle/photos");
        const QString home = QString::fromUtf8(fx.tree.path());
        const QString shownStick = QString::fromUtf8(stick) + " [CLE]";
        f.Drive1.setDrives({{fx.tree.path(), {}}, {stick, "CLE"}});
        f.Drive1.setDrive(home);

        fx.browse(stick + "/photos");
        QCOMPARE(f.Drive1.drive(), shownStick);
        QCOMPARE(f.Drive1.list().listIndex(), 1);
        fx.browse(fx.tree.path());
        QCOMPARE(f.Drive1.drive(), home);
        QCOMPARE(f.Dir1.nativePath(), fx.tree.path());

        TempTree other;
        f.Drive1.updateDrives({{fx.tree.path(), {}}, {stick, "CLE"}, {other.path(), {}}},
                              f.Dir1.nativePath());
        QCOMPARE(f.Drive1.list().count(), 3);
        QCOMPARE(f.Drive1.drive(), home);
        f.Drive1.setDrive(shownStick);
        QCOMPARE(f.Dir1.nativePath(), stick + "/photos");

        QVERIFY(QDir().rmdir(QString::fromUtf8(stick + "/photos")));
        f.Drive1.pickDrive(shownStick);
        QCOMPARE(f.Dir1.nativePath(), stick);
        QCOMPARE(f.File1.nativePath(), stick);
    }

    // A drive that cannot be read puts drive, folder and file lists back
    // exactly where they were, without a word.
    void unreadableDriveRecoversSilently()
    {
        FormFixture fx;
        auto gone = std::make_unique<TempTree>();
        const QByteArray goneRoot = gone->path();
        fmenu& f = *fx.form;
        fx.tree.file("deep/er/x.txt");
        f.Drive1.setDrives({{fx.tree.path(), {}}, {goneRoot, {}}});
        f.Drive1.setDrive(QString::fromUtf8(fx.tree.path()));
        fx.browse(fx.tree.path("deep/er"));
        gone.reset();

        const QString driveBefore = f.Drive1.drive();
        const QStringList foldersBefore = texts(f.Dir1.list());
        f.Drive1.setDrive(QString::fromUtf8(goneRoot));
        QCOMPARE(f.Drive1.drive(), driveBefore);
        QCOMPARE(f.Drive1.list().item(f.Drive1.list().listIndex()), driveBefore);
        QCOMPARE(f.Dir1.nativePath(), fx.tree.path("deep/er"));
        QCOMPARE(texts(f.Dir1.list()), foldersBefore);
        QCOMPARE(f.File1.nativePath(), fx.tree.path("deep/er"));
        QCOMPARE(texts(f.File1), QStringList({"x.txt"}));
        QVERIFY(fx.box.shown().empty());
    }

    // The system opens no path longer than PATH_MAX: a folder whose path
    // would be is left out of the folder list rather than listed as a row
    // that never opens. Every folder the list shows opens.
    void everyListedFolderOpens()
    {
        FormFixture fx;
        fmenu& f = *fx.form;
        QByteArray relative(200, 'd');
        while (fx.tree.path(relative).size() < PATH_MAX - 256)
            relative += '/' + QByteArray(200, 'd');
        const QByteArray deep = fx.tree.folder(relative);
        // A path holds at most PATH_MAX - 1 bytes, its end marker taking the last.
        const QByteArray fits(PATH_MAX - 2 - deep.size(), 'f');
        const QByteArray tooLong(PATH_MAX - 1 - deep.size(), 'l');
        const int parent = open(deep.constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(parent >= 0);
        const auto cleanUp = qScopeGuard([&] {
            unlinkat(parent, tooLong.constData(), AT_REMOVEDIR);
            close(parent);
        });
        QVERIFY2(mkdirat(parent, fits.constData(), 0700) == 0, strerror(errno));
        QVERIFY2(mkdirat(parent, tooLong.constData(), 0700) == 0, strerror(errno));

        fx.browse(deep);
        const int current = f.Dir1.list().listIndex();
        QCOMPARE(texts(f.Dir1.list()).mid(current + 1).join('|').trimmed(),
                 QString::fromLatin1(fits));
        for (int row = current + 1; row < f.Dir1.list().count(); ++row) {
            fx.browse(deep);
            QVERIFY(f.Dir1.open(row));
        }
    }

    void driveOfPicksTheLongestRoot()
    {
        DriveList drives;
        drives.setDrives({{"/", {}}, {"/mnt", {}}, {"/mnt/usb", "CLE"}});
        QCOMPARE(drives.driveOf("/mnt/usb/photos"), "/mnt/usb [CLE]");
        QCOMPARE(drives.driveOf("/mnt/usbx"), "/mnt");
        QCOMPARE(drives.driveOf("/home/u"), "/");
        QCOMPARE(drives.rootOf("/mnt/usb [CLE]"), "/mnt/usb");
        QCOMPARE(drives.rootOf("/mnt/usb"), "/mnt/usb");
    }

    // A machine with hundreds of mounts (containers, bind mounts) reads its
    // drives again at each mount anywhere. Each volume is asked on a few
    // threads however many there are, and one that hangs, seen through
    // three hundred mounts, holds a few of them, not one per mount.
    void drivesAreAskedOnFewThreads()
    {
        TempTree tree;
        FatMount fat(tree.folder("fige"));
        if (!fat.isMounted())
            QSKIP(qPrintable(fat.whyNot()));
        std::vector<QByteArray> binds;
        const auto unbind = qScopeGuard([&] {
            for (const QByteArray& bound : binds)
                umount2(bound.constData(), MNT_DETACH);
        });
        for (int i = 0; i < 300; ++i) {
            const QByteArray folder = tree.folder("liens/" + QByteArray::number(i));
            if (mount(fat.folder().constData(), folder.constData(), nullptr, MS_BIND, nullptr) != 0)
                QSKIP("cannot bind-mount here: needs root");
            binds.push_back(folder);
        }
        const auto threads = [] {
            return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
        };
        StoppedServer stopped(fat.server());
        QVERIFY(dropCaches());
        const qsizetype before = threads();
        const std::vector<Drive> seen = DriveList::mountedDrives();
        DriveList::mountedDrives();
        QVERIFY2(threads() - before <= 8, qPrintable(QString::number(threads() - before)));
        QVERIFY(std::any_of(seen.begin(), seen.end(),
                            [&](const Drive& d) { return d.root == binds.back(); }));
        QVERIFY(!stopped.wasWaitedOn());
    }
};

QTEST_GUILESS_MAIN(BrowserTest)
#include "tst_browser.moc"
