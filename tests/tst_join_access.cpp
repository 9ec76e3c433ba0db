// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file that belongs to others, or that carries more than
// permission bits: what the new file keeps, and which files may not be
// replaced at all. Cases that need another user run the join in a child
// that takes other numeric ids, and are skipped when not run as root.

#include "support/ChildProcess.h"
#include "support/JoinFixture.h"
#include "support/TmpfsMount.h"

#include <QTest>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace quibex;
using namespace quibex::test;

namespace {

constexpr uid_t Alice = 5001;
constexpr gid_t Team = 5000;
constexpr uid_t Tester = 5003;
constexpr gid_t TesterGroup = 5002;

// The inputs live where any user may read them.
void openToAll(Join& j)
{
    chmod(j.tree.path().constData(), 0755);
    chmod(j.tree.folder("in").constData(), 0755);
}

// Runs "Créer" as the given user, answering Yes to the question; the
// child's result says whether the messages were the expected ones. A name
// refused is refused before anything is copied: no display has moved.
int createAs(Join& j, uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const QString& name,
             const QStringList& expected, const std::function<bool()>& before = {})
{
    j.box.answerNext(MsgAnswer::Yes);
    return runAsUser(uid, gid, groups, [&] {
        if (before && !before())
            return 2;
        j.create(name);
        // Refused at once, nothing was copied and no display moved; refused
        // only when writing into the old file, after the copy.
        const bool refused = expected.last() == BadName;
        const bool refusedFirst = expected == QStringList{BadName};
        if (j.messages() == expected && j.text1Focus.count() == refused
            && (!refusedFirst || j.log.isEmpty()))
            return 0;
        std::fprintf(stderr, "messages: %s; displays: %s\n", qPrintable(j.messages().join(" | ")),
                     qPrintable(j.log.join(" | ")));
        return 1;
    });
}

bool setFlag(const QByteArray& path, int flag, bool on)
{
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | flag : flags & ~flag;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        close(fd);
    return done;
}

// An access ACL in the kernel's layout: the owner rw (and x where Tester
// has it), the user Tester with the given permission, the owning group r,
// the mask as Tester's, others nothing.
QByteArray aclWithNamedUser(uint16_t tester = 6)
{
    struct Entry {
        uint16_t tag, permission;
        uint32_t id;
    };
    const uint32_t version = 2;
    const Entry entries[] = {{0x01, uint16_t(tester | 6), ~0u},
                             {0x02, tester, Tester},
                             {0x04, 4, ~0u},
                             {0x10, tester, ~0u},
                             {0x20, 0, ~0u}};
    return QByteArray(reinterpret_cast<const char*>(&version), sizeof version)
        + QByteArray(reinterpret_cast<const char*>(entries), sizeof entries);
}

bool setAcl(const QByteArray& path, const QByteArray& acl)
{
    return setxattr(path.constData(), "system.posix_acl_access", acl.constData(),
                    size_t(acl.size()), 0)
        == 0;
}

// fs.protected_symlinks on for as long as it lives, as on Debian by
// default: links in sticky world-writable folders are followed only for
// their owner or the folder's.
class ProtectedSymlinks {
public:
    ProtectedSymlinks() : before(read())
    {
        if (before == '0')
            write('1');
    }
    ~ProtectedSymlinks()
    {
        if (before == '0')
            write('0');
    }
    bool isOn() const { return read() == '1'; }

private:
    static constexpr char Setting[] = "/proc/sys/fs/protected_symlinks";
    static char read()
    {
        char value = '?';
        const int fd = open(Setting, O_RDONLY | O_CLOEXEC);
        if (fd >= 0 && ::read(fd, &value, 1) != 1)
            value = '?';
        if (fd >= 0)
            close(fd);
        return value;
    }
    static void write(char value)
    {
        const int fd = open(Setting, O_WRONLY | O_CLOEXEC);
        if (fd >= 0 && ::write(fd, &value, 1) != 1)
            value = '?';
        if (fd >= 0)
            close(fd);
    }
    char before;
};

QByteArray attribute(const QByteArray& path, const char* name)
{
    QByteArray value(256, '\0');
    const ssize_t n = getxattr(path.constData(), name, value.data(), size_t(value.size()));
    return n < 0 ? QByteArray("(none)") : value.left(n);
}

}  // namespace

class JoinAccessTest : public QObject {
    Q_OBJECT

private slots:
    void replacedFileKeepsWhoMayUseIt_data()
    {
        QTest::addColumn<mode_t>("folderMode");
        QTest::addColumn<mode_t>("fileMode");
        QTest::addColumn<bool>("member");
        QTest::addColumn<bool>("acl");
        QTest::addColumn<uid_t>("owner");
        QTest::addColumn<gid_t>("group");
        QTest::addColumn<mode_t>("mode");
        QTest::addColumn<QByteArray>("content");
        // A new file could keep the group, not Alice as its owner: it would be
        // the tester's to shut her out of. The content goes into her file.
        QTest::newRow("member of the group") << mode_t(0770) << mode_t(0660) << true << false
                                             << Alice << Team << mode_t(0660) << QByteArray("new");
        // Neither Alice nor her group could be kept on a new file: the content
        // goes into her file, which stays hers with its bits.
        QTest::newRow("not a member") << mode_t(0777) << mode_t(0666) << false << false << Alice
                                      << Team << mode_t(0666) << QByteArray("new");
        // Write access through an ACL only: the file stays Alice's, with the ACL.
        QTest::newRow("writer through an ACL")
            << mode_t(0750) << mode_t(0640) << false << true << Alice << Team << mode_t(0660)
            << QByteArray("new");
        // Her old content is kept aside before it is overwritten: a file the
        // tester may write but not read cannot be, and is not written into.
        QTest::newRow("may write, may not read")
            << mode_t(0777) << mode_t(0662) << false << false << Alice << Team << mode_t(0662)
            << QByteArray("old content");
    }
    void replacedFileKeepsWhoMayUseIt()
    {
        if (geteuid() != 0)
            QSKIP("needs root to act as other users");
        QFETCH(mode_t, folderMode);
        QFETCH(mode_t, fileMode);
        QFETCH(bool, member);
        QFETCH(bool, acl);
        QFETCH(uid_t, owner);
        QFETCH(gid_t, group);
        QFETCH(mode_t, mode);
        QFETCH(QByteArray, content);
        Join j;
        openToAll(j);
        j.input("a.bin", "new");
        const QByteArray g = j.tree.file("out/g", "old content");
        QVERIFY(chown(j.out.constData(), Alice, Team) == 0
                && chmod(j.out.constData(), folderMode) == 0);
        QVERIFY2(chown(g.constData(), Alice, Team) == 0 && chmod(g.constData(), fileMode) == 0,
                 strerror(errno));
        const QByteArray fileAcl = aclWithNamedUser(6);
        if (acl && (!setAcl(g, fileAcl) || !setAcl(j.out, aclWithNamedUser(7))))
            QSKIP("this file system keeps no ACLs");

        const std::vector<gid_t> groups = member ? std::vector<gid_t>{Team} : std::vector<gid_t>{};
        QCOMPARE(createAs(j, Tester, TesterGroup, groups, QStringLiteral("g"),
                          {question("g"), content == "new" ? created("g") : BadName}),
                 0);
        const struct stat after = statOf(g);
        QCOMPARE(TempTree::read(g), content);
        QCOMPARE(after.st_uid, owner);  // only a privileged program could give Alice a new file
        QCOMPARE(after.st_gid, group);
        QCOMPARE(after.st_mode & 07777, mode);
        if (acl)
            QCOMPARE(attribute(g, "system.posix_acl_access"), fileAcl);
        QCOMPARE(namesIn(j.out), QStringList{"g"});
    }
    void writingInPlaceWithoutRoomKeepsTheOldFile_data()
    {
        QTest::addColumn<QByteArray>("volume");
        QTest::addColumn<bool>("reserves");
        // Room for the new content beside the old and its copy, not for the
        // old file to grow as well: the reservation fails first.
        QTest::newRow("room reserved first") << QByteArray("size=400k") << true;
        // NFSv3, sshfs and several FUSE file systems cannot reserve room: the
        // volume fills half way through, and the old content is put back.
        QTest::newRow("room cannot be reserved") << QByteArray("size=400k") << false;
        // No room even for the copy of the old content: nothing is touched.
        QTest::newRow("no room to keep the old content") << QByteArray("size=300k") << true;
    }
    // Alice's file is written into only once its old content is kept aside:
    // whatever fills the volume, the join fails with her file as it was.
    void writingInPlaceWithoutRoomKeepsTheOldFile()
    {
        if (geteuid() != 0)
            QSKIP("needs root to act as other users");
        QFETCH(QByteArray, volume);
        QFETCH(bool, reserves);
        Join j;
        openToAll(j);
        TmpfsMount mounted(j.out, volume.constData());
        if (!mounted.isMounted())
            QSKIP(qPrintable(mounted.whyNot()));
        j.input("a.bin", pattern(qsizetype(150) * 1024));
        const QByteArray oldContent(qsizetype(100) * 1024, 'O');
        const QByteArray g = j.tree.file("out/g", oldContent);
        QVERIFY2(chown(j.out.constData(), Alice, Team) == 0 && chmod(j.out.constData(), 0777) == 0,
                 strerror(errno));
        QVERIFY2(chown(g.constData(), Alice, Team) == 0 && chmod(g.constData(), 0666) == 0,
                 strerror(errno));

        const auto refuseReserving = [&] {
            return reserves || refuseSystemCall(SYS_fallocate, EOPNOTSUPP);
        };
        QCOMPARE(createAs(j, Tester, TesterGroup, {}, QStringLiteral("g"),
                          {question("g"), ReadError}, refuseReserving),
                 0);
        QCOMPARE(TempTree::read(g), oldContent);
        QCOMPARE(statOf(g).st_uid, Alice);
        QCOMPARE(namesIn(j.out), QStringList{"g"});
    }
    // Closing the window while the content goes into Alice's file stops the
    // copy and puts her old content back: the program ends with her file as
    // it was, and nothing else left in the folder.
    void stoppedWhileWritingIntoTheOldFile()
    {
        if (geteuid() != 0)
            QSKIP("needs root to act as other users");
        Join j;
        openToAll(j);
        j.input("a.bin", pattern(6 << 20));
        const QByteArray g = j.tree.file("out/g", "old content");
        QVERIFY2(chown(j.out.constData(), Alice, Team) == 0 && chmod(j.out.constData(), 0777) == 0,
                 strerror(errno));
        QVERIFY2(chown(g.constData(), Alice, Team) == 0 && chmod(g.constData(), 0666) == 0,
                 strerror(errno));
        // The whole join shown, the file display starts again: the old file
        // is being written into.
        bool copied = false;
        j.jauge2.onText = [&](const QString& text) { copied = text == bar(100, 140); };
        j.jauge.onText = [&](const QString& text) {
            if (copied && !text.isEmpty())
                requestStop();
        };

        QCOMPARE(createAs(j, Tester, TesterGroup, {}, QStringLiteral("g"), {question("g")}), 0);
        QCOMPARE(TempTree::read(g), QByteArray("old content"));
        QCOMPARE(namesIn(j.out), QStringList{"g"});
    }
    void aclAndAttributesAreKept()
    {
        Join j;
        j.input("a.bin", "new");
        const QByteArray f = j.tree.file("out/f", "old content");
        QVERIFY2(chmod(f.constData(), 0640) == 0, strerror(errno));
        const QByteArray acl = aclWithNamedUser();
        if (setxattr(f.constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()),
                     0)
                != 0
            || setxattr(f.constData(), "user.origin", "scanner", 7, 0) != 0)
            QSKIP("this file system keeps no ACLs or user attributes");
        // A program the old file was, with a privilege given to it (as setcap
        // does: CAP_NET_RAW permitted and effective). The new content is not
        // that program: the privilege is not passed on. Giving one needs root.
        const uint32_t capability[5] = {0x02000001, 1u << 13, 0, 0, 0};
        const bool privileged =
            setxattr(f.constData(), "security.capability", capability, sizeof capability, 0) == 0;
        QCOMPARE(statOf(f).st_mode & 07777, mode_t(0660));  // the group bits show the mask

        j.box.answerNext(MsgAnswer::Yes);
        j.create(QStringLiteral("f"));
        QCOMPARE(j.messages(), (QStringList{question("f"), created("f")}));
        QCOMPARE(TempTree::read(f), QByteArray("new"));
        QCOMPARE(attribute(f, "system.posix_acl_access"), acl);
        QCOMPARE(attribute(f, "user.origin"), QByteArray("scanner"));
        QCOMPARE(statOf(f).st_mode & 07777, mode_t(0660));
        if (privileged)
            QCOMPARE(attribute(f, "security.capability"), QByteArray("(none)"));
    }
    void filesThatMayNotBeReplacedAreBadNames_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("someone else's file in a sticky folder") << "sticky";
        QTest::newRow("append-only file") << "append-only";
        QTest::newRow("new name in an append-only folder") << "append-only folder";
        // The new file could never take the old one's name there.
        QTest::newRow("file in an append-only folder") << "file in append-only folder";
        // The kernel would not follow these links for the tester (a shell's
        // "echo x > name" is refused): neither may the join.
        QTest::newRow("another user's link to a file, sticky folder") << "link to a file";
        QTest::newRow("another user's link to nothing yet, sticky folder") << "link to nothing";
    }
    // The system would refuse the rename: the name is refused before the
    // question and before anything is copied, and the file stays as it was.
    void filesThatMayNotBeReplacedAreBadNames()
    {
        if (geteuid() != 0)
            QSKIP("needs root to act as other users and to set file flags");
        QFETCH(QString, kind);
        Join j;
        openToAll(j);
        j.input("a.bin", "new");
        const QByteArray file = j.tree.file("out/shared.txt", "old content");
        QByteArray kept = "old content";
        int result = -1;
        if (kind.startsWith("link")) {
            ProtectedSymlinks protection;
            if (!protection.isOn())
                QSKIP("fs.protected_symlinks cannot be turned on here");
            QVERIFY2(chmod(j.out.constData(), 01777) == 0 && unlink(file.constData()) == 0,
                     strerror(errno));
            // The tester's own file, and the link Alice left in the shared folder.
            const QByteArray home = j.tree.folder("home");
            const QByteArray victim = home + "/victim.txt";
            if (kind == "link to a file")
                j.tree.file("home/victim.txt", "old content");
            QVERIFY(chown(home.constData(), Tester, TesterGroup) == 0
                    && chmod(home.constData(), 0700) == 0);
            QVERIFY(chown(victim.constData(), Tester, TesterGroup) == 0
                    || kind == "link to nothing");
            QVERIFY2(symlink(victim.constData(), file.constData()) == 0, strerror(errno));
            QVERIFY2(lchown(file.constData(), Alice, Alice) == 0, strerror(errno));
            QCOMPARE(createAs(j, Tester, TesterGroup, {}, QStringLiteral("shared.txt"), {BadName}),
                     0);
            if (kind == "link to a file")
                QCOMPARE(TempTree::read(victim), QByteArray("old content"));
            QCOMPARE(namesIn(home),
                     kind == "link to a file" ? QStringList{"victim.txt"} : QStringList());
            QCOMPARE(namesIn(j.out), QStringList{"shared.txt"});
            return;
        }
        if (kind == "sticky") {
            QVERIFY2(chmod(j.out.constData(), 01777) == 0, strerror(errno));
            QVERIFY2(chown(file.constData(), Alice, Alice) == 0
                         && chmod(file.constData(), 0666) == 0,
                     strerror(errno));
            QCOMPARE(createAs(j, Tester, TesterGroup, {}, QStringLiteral("shared.txt"), {BadName}),
                     0);
            QCOMPARE(TempTree::read(file), QByteArray("old content"));
            // Unless the sticky folder is the tester's own.
            QVERIFY2(chown(j.out.constData(), Tester, TesterGroup) == 0, strerror(errno));
            result = createAs(j, Tester, TesterGroup, {}, QStringLiteral("shared.txt"),
                              {question("shared.txt"), created("shared.txt")});
            kept = "new";
        } else if (kind.endsWith("append-only folder")) {
            // A file put there could never be removed again.
            if (!setFlag(j.out, FS_APPEND_FL, true))
                QSKIP("this file system has no append-only flag");
            result = createAs(j, 0, 0, {},
                              kind.startsWith("file") ? QStringLiteral("shared.txt")
                                                      : QStringLiteral("new.txt"),
                              {BadName});
            QVERIFY(setFlag(j.out, FS_APPEND_FL, false));
        } else {
            if (!setFlag(file, FS_APPEND_FL, true))
                QSKIP("this file system has no append-only flag");
            result = createAs(j, 0, 0, {}, QStringLiteral("shared.txt"), {BadName});
            QVERIFY(setFlag(file, FS_APPEND_FL, false));
        }
        QCOMPARE(result, 0);
        QCOMPARE(TempTree::read(file), kept);
        QCOMPARE(namesIn(j.out), QStringList{"shared.txt"});
    }
};

QTEST_GUILESS_MAIN(JoinAccessTest)
#include "tst_join_access.moc"
