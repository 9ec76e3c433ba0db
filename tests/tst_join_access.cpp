// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file that belongs to others, or that carries more than
// permission bits: what the new file keeps, and which files may not be
// replaced at all. Cases that need another user run the join in a child
// that takes other numeric ids, and are skipped when not run as root.

#include "support/ChildProcess.h"
#include "support/JoinFixture.h"

#include <QTest>

#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
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
// child's result says whether the messages were the expected ones.
int createAs(Join& j, uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const QString& name,
             const QStringList& expected)
{
    j.box.answerNext(MsgAnswer::Yes);
    return runAsUser(uid, gid, groups, [&] {
        j.create(name);
        if (j.messages() == expected && j.text1Focus.count() == (expected == QStringList{BadName}))
            return 0;
        std::fprintf(stderr, "messages: %s\n", qPrintable(j.messages().join(" | ")));
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

// An access ACL in the kernel's layout: the owner rw, the user Tester rw,
// the owning group r, the mask rw, others nothing.
QByteArray aclWithNamedUser()
{
    struct Entry {
        uint16_t tag, permission;
        uint32_t id;
    };
    const uint32_t version = 2;
    const Entry entries[] = {{0x01, 6, ~0u}, {0x02, 6, Tester}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    return QByteArray(reinterpret_cast<const char*>(&version), sizeof version)
           + QByteArray(reinterpret_cast<const char*>(entries), sizeof entries);
}

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
    void replacedFileKeepsItsGroupWithoutWidening_data();
    void replacedFileKeepsItsGroupWithoutWidening();
    void aclAndAttributesAreKept();
    void filesThatMayNotBeReplacedAreBadNames_data();
    void filesThatMayNotBeReplacedAreBadNames();
};

void JoinAccessTest::replacedFileKeepsItsGroupWithoutWidening_data()
{
    QTest::addColumn<mode_t>("folderMode");
    QTest::addColumn<mode_t>("fileMode");
    QTest::addColumn<bool>("member");
    QTest::addColumn<gid_t>("group");
    QTest::addColumn<mode_t>("mode");
    // Alice can still read the file through the group she shares with the tester.
    QTest::newRow("member of the group") << mode_t(0770) << mode_t(0660) << true << Team << mode_t(0660);
    // The group bits would now serve the tester's own group: they give it
    // no more than it had as "others".
    QTest::newRow("not a member") << mode_t(0777) << mode_t(0662) << false << TesterGroup << mode_t(0622);
}

void JoinAccessTest::replacedFileKeepsItsGroupWithoutWidening()
{
    if (geteuid() != 0)
        QSKIP("needs root to act as other users");
    QFETCH(mode_t, folderMode);
    QFETCH(mode_t, fileMode);
    QFETCH(bool, member);
    QFETCH(gid_t, group);
    QFETCH(mode_t, mode);
    Join j;
    openToAll(j);
    j.input("a.bin", "new");
    const QByteArray g = j.tree.file("out/g", "old content");
    QVERIFY(chown(j.out.constData(), Alice, Team) == 0 && chmod(j.out.constData(), folderMode) == 0);
    QVERIFY(chown(g.constData(), Alice, Team) == 0 && chmod(g.constData(), fileMode) == 0);

    const std::vector<gid_t> groups = member ? std::vector<gid_t>{Team} : std::vector<gid_t>{};
    QCOMPARE(createAs(j, Tester, TesterGroup, groups, QStringLiteral("g"),
                      {question("g"), created("g")}),
             0);
    const struct stat after = statOf(g);
    QCOMPARE(TempTree::read(g), QByteArray("new"));
    QCOMPARE(after.st_uid, Tester);  // only a privileged program could keep Alice
    QCOMPARE(after.st_gid, group);
    QCOMPARE(after.st_mode & 07777, mode);
}

void JoinAccessTest::aclAndAttributesAreKept()
{
    Join j;
    j.input("a.bin", "new");
    const QByteArray f = j.tree.file("out/f", "old content");
    QVERIFY(chmod(f.constData(), 0640) == 0);
    const QByteArray acl = aclWithNamedUser();
    if (setxattr(f.constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()), 0) != 0
        || setxattr(f.constData(), "user.origin", "scanner", 7, 0) != 0)
        QSKIP("this file system keeps no ACLs or user attributes");
    QCOMPARE(statOf(f).st_mode & 07777, mode_t(0660));  // the group bits show the mask

    j.box.answerNext(MsgAnswer::Yes);
    j.create(QStringLiteral("f"));
    QCOMPARE(j.messages(), (QStringList{question("f"), created("f")}));
    QCOMPARE(TempTree::read(f), QByteArray("new"));
    QCOMPARE(attribute(f, "system.posix_acl_access"), acl);
    QCOMPARE(attribute(f, "user.origin"), QByteArray("scanner"));
    QCOMPARE(statOf(f).st_mode & 07777, mode_t(0660));
}

void JoinAccessTest::filesThatMayNotBeReplacedAreBadNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("someone else's file in a sticky folder") << "sticky";
    QTest::newRow("append-only file") << "append-only";
    QTest::newRow("new name in an append-only folder") << "append-only folder";
}

// The system would refuse the rename: the name is refused before the
// question and before anything is copied, and the file stays as it was.
void JoinAccessTest::filesThatMayNotBeReplacedAreBadNames()
{
    if (geteuid() != 0)
        QSKIP("needs root to act as other users and to set file flags");
    QFETCH(QString, kind);
    Join j;
    openToAll(j);
    j.input("a.bin", "new");
    const QByteArray file = j.tree.file("out/shared.txt", "old content");
    int result = -1;
    if (kind == "sticky") {
        QVERIFY(chmod(j.out.constData(), 01777) == 0);
        QVERIFY(chown(file.constData(), Alice, Alice) == 0 && chmod(file.constData(), 0666) == 0);
        result = createAs(j, Tester, TesterGroup, {}, QStringLiteral("shared.txt"), {BadName});
    } else if (kind == "append-only folder") {
        // A file put there could never be removed again.
        if (!setFlag(j.out, FS_APPEND_FL, true))
            QSKIP("this file system has no append-only flag");
        result = createAs(j, 0, 0, {}, QStringLiteral("new.txt"), {BadName});
        QVERIFY(setFlag(j.out, FS_APPEND_FL, false));
    } else {
        if (!setFlag(file, FS_APPEND_FL, true))
            QSKIP("this file system has no append-only flag");
        result = createAs(j, 0, 0, {}, QStringLiteral("shared.txt"), {BadName});
        QVERIFY(setFlag(file, FS_APPEND_FL, false));
    }
    QCOMPARE(result, 0);
    QCOMPARE(TempTree::read(file), QByteArray("old content"));
    QCOMPARE(namesIn(j.out), QStringList{"shared.txt"});
}

QTEST_GUILESS_MAIN(JoinAccessTest)
#include "tst_join_access.moc"
