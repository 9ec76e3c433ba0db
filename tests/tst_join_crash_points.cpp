// SPDX-License-Identifier: GPL-3.0-or-later
// Ends a join at each of its system calls in turn, as crash-consistency
// testing does, and checks that the name holds the old content or the new
// one, byte for byte, and that nothing else is left there, at once for a
// signal the program handles and after the next join into the folder for
// a kill: for a new file, a file replaced by a rename,
// and a file whose content is written into it (another user's, whose owner
// a new file could not keep). The join runs in a program of its own
// (helpers/join_once) under strace, which ends it on entering the chosen
// call: SIGKILL, which nothing can catch, and SIGTERM, which the program
// handles. Needs strace; the file written into needs root to act as
// another user, and the new file is made through another mount of its
// folder (bindfs), where temporaries have names and renames cannot refuse
// to replace.

#include "support/ChildProcess.h"
#include "support/FuseServer.h"
#include "support/JoinFixture.h"
#include "support/Lists.h"
#include "support/TempTree.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <map>

#include <sys/stat.h>
#include <unistd.h>

using namespace quibex::test;

namespace {

// The calls at which the join is ended: every one that changes a file, a
// name or what is on disk, and those that open and close files.
const char* const Calls = "openat,creat,write,pwrite64,writev,copy_file_range,fallocate,"
                          "ftruncate,fsync,fdatasync,sync_file_range,rename,renameat,renameat2,"
                          "link,linkat,unlink,unlinkat,fchown,fchmod,fchmodat,fsetxattr,ioctl,"
                          "close,flock";

constexpr uid_t Alice = 5001;
constexpr gid_t Team = 5000;
const char* const Tester = "5003:5002";

struct Point {
    QByteArray call;
    int time;  // the how-manieth call of that name it is
};

struct Scenario {
    QByteArray folder;  // where the join writes: the folder itself, or another mount of it
    QByteArray name;
    QByteArray oldContent;  // empty: no file stands there before
    bool asAnotherUser = false;
};

QByteArray joinOnce()
{
    return QCoreApplication::applicationDirPath().toLocal8Bit() + "/join_once";
}

QStringList helperArguments(const Scenario& s, const QByteArray& name, const QStringList& inputs)
{
    QStringList arguments;
    if (s.asAnotherUser)
        arguments << "--as" << Tester;
    return arguments << QString::fromLocal8Bit(s.folder) << QString::fromLocal8Bit(name) << inputs;
}

int run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The calls a whole join makes, in order, from the first that touches the
// join's folder; each with how many calls of its name came before, the
// program's start included, so that strace can be told to end it there.
std::vector<Point> callsOf(const Scenario& s, const QStringList& inputs, const QByteArray& trace)
{
    run("strace",
        QStringList{"-qq", "-o", QString::fromLocal8Bit(trace), "-e", QString("trace=") + Calls,
                    QString::fromLocal8Bit(joinOnce())}
            + helperArguments(s, s.name, inputs));
    std::vector<Point> points;
    std::map<QByteArray, int> seen;
    bool started = false;
    for (const QByteArray& line : TempTree::read(trace).split('\n')) {
        const qsizetype open = line.indexOf('(');
        if (open <= 0 || line.startsWith("+++") || line.startsWith("---"))
            continue;
        const QByteArray call = line.left(open);
        const int time = ++seen[call];
        started = started || line.contains(s.folder);
        if (started)
            points.push_back({call, time});
    }
    return points;
}

}  // namespace

class JoinCrashPointsTest : public QObject {
    Q_OBJECT

private slots:
    void endedAtEachCall_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("signal");
        for (const char* kind : {"new file", "replaced by a rename", "written into the old file"}) {
            for (const char* signal : {"SIGKILL", "SIGTERM"})
                QTest::newRow(qPrintable(QString("%1, %2").arg(kind, signal))) << kind << signal;
        }
    }
    void endedAtEachCall()
    {
        QFETCH(QString, kind);
        QFETCH(QString, signal);
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("needs strace");
        TempTree tree;
        const QByteArray out = tree.folder("out");
        chmod(tree.path().constData(), 0755);
        chmod(out.constData(), 0777);
        const QByteArray newContent = pattern(3000000) + "tail";
        const QStringList inputs{QString::fromLocal8Bit(tree.file("in/a", pattern(3000000))),
                                 QString::fromLocal8Bit(tree.file("in/b", "tail"))};
        chmod(tree.path("in").constData(), 0755);

        Scenario s{out, "g", "old content, shorter than the new", false};
        std::unique_ptr<MirrorMount> mirror;
        if (kind == "new file") {
            s.oldContent.clear();
            mirror = std::make_unique<MirrorMount>(out, tree.folder("mirror"));
            if (!mirror->isMounted())
                QSKIP(qPrintable(mirror->whyNot()));
            s.folder = tree.path("mirror");
        } else if (kind == "written into the old file") {
            if (geteuid() != 0)
                QSKIP("needs root to act as another user");
            s.asAnotherUser = true;
        }
        const QByteArray target = out + '/' + s.name;
        // Through the join's own mount: a FUSE mount's kernel side would not
        // hear of files removed behind its back at once.
        const auto reset = [&] {
            for (const QString& name : namesOnceSettled(s.folder))
                unlink((s.folder + '/' + QFile::encodeName(name)).constData());
            if (s.oldContent.isEmpty())
                return;
            tree.file("out/" + s.name, s.oldContent);
            if (s.asAnotherUser
                && (chown(target.constData(), Alice, Team) != 0
                    || chmod(target.constData(), 0666) != 0))
                qFatal("cannot give the old file to another user");
        };

        reset();
        const std::vector<Point> points = callsOf(s, inputs, tree.path("trace"));
        QVERIFY(points.size() > 10);
        QCOMPARE(TempTree::read(target), newContent);
        std::map<QByteArray, int> endedWith;  // which content each point left
        for (const Point& point : points) {
            reset();
            const QString inject = QString("inject=%1:signal=%2:when=%3")
                                       .arg(QString::fromLatin1(point.call), signal)
                                       .arg(point.time);
            run("strace",
                QStringList{"-qq", "-o", "/dev/null", "-e",
                            "trace=" + QString::fromLatin1(point.call), "-e", inject,
                            QString::fromLocal8Bit(joinOnce())}
                    + helperArguments(s, s.name, inputs));
            const QString where =
                QString("%1 #%2").arg(QString::fromLatin1(point.call)).arg(point.time);
            // An ending signal the program handles leaves the name whole at
            // once; a kill, once the next join into the folder has looked.
            if (signal == "SIGKILL")
                QCOMPARE(
                    run(QString::fromLocal8Bit(joinOnce()), helperArguments(s, "next", inputs)), 0);
            QStringList names = namesOnceSettled(out);
            QVERIFY2(signal != "SIGKILL" || names.removeOne("next"), qPrintable(where));
            const bool stands = names.removeOne(QString::fromLocal8Bit(s.name));
            QVERIFY2(names.isEmpty(), qPrintable(where + ": " + names.join(' ')));
            const QByteArray content = stands ? TempTree::read(target) : QByteArray("(none)");
            const bool whole = content == newContent
                || (s.oldContent.isEmpty() ? !stands : content == s.oldContent);
            QVERIFY2(whole, qPrintable(where + ": " + QString::number(content.size()) + " bytes"));
            if (s.asAnotherUser) {
                struct stat info { };
                stat(target.constData(), &info);
                QVERIFY2(info.st_uid == Alice && (info.st_mode & 07777) == 0666, qPrintable(where));
            }
            ++endedWith[content == newContent ? "new" : "old"];
        }
        qInfo("%zu calls: %d left the old content, %d the new", points.size(), endedWith["old"],
              endedWith["new"]);
    }
};

QTEST_GUILESS_MAIN(JoinCrashPointsTest)
#include "tst_join_crash_points.moc"
