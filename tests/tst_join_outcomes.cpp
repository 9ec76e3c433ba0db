// SPDX-License-Identifier: GPL-3.0-or-later
// What "Créer" and "Quitter" tell their caller, beside the messages the
// user sees: one outcome for each way a press can end.
#include "support/ChildProcess.h"
#include "support/JoinFixture.h"

#include <QtTest>

#include <cstddef>
#include <cstring>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

using namespace quibex;
using namespace quibex::test;
using Kind = JoinOutcome::Kind;

namespace {

// From here on fsync and fdatasync fail with EIO, as on a disk that lost
// the data; for a child only, as it cannot be undone.
bool failFlushes()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{sizeof filter / sizeof filter[0], filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
        && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

}  // namespace

class JoinOutcomeTest : public QObject {
    Q_OBJECT

private slots:
    void eachEndHasItsOutcome()
    {
        Join j;
        QCOMPARE(j.create(QStringLiteral("vide.bin")), JoinOutcome{Kind::NothingSelected});
        j.input("a.bin", "a");
        QCOMPARE(j.create(QStringLiteral(".bin")), JoinOutcome{Kind::NotNamed});
        QCOMPARE(Command2_Click(j.form, 0), JoinOutcome{Kind::NoSuchButton});

        j.form.List2.clear();
        j.form.List1.clear();
        j.add(j.tree.file("out/a.bin", "a"));
        QCOMPARE(j.create(QStringLiteral("a.bin")), JoinOutcome{Kind::NameInSelection});
        QCOMPARE(j.create(QStringLiteral("absent/x.bin")), (JoinOutcome{Kind::BadName, ENOENT}));

        j.tree.file("out/old.bin", "old");
        QCOMPARE(j.create(QStringLiteral("old.bin")), JoinOutcome{Kind::Declined});
        j.box.answerNext(MsgAnswer::Yes);
        QCOMPARE(j.create(QStringLiteral("old.bin")), JoinOutcome{Kind::Created});
        QCOMPARE(TempTree::read(j.out + "/old.bin"), QByteArray("a"));
        QCOMPARE(j.messages().last(), created(QStringLiteral("old.bin")));

        QCOMPARE(Command2_Click(j.form, 2), JoinOutcome{Kind::Quit});
        QCOMPARE(j.ended.count(), 1);
    }

    void failuresCarryTheirCause()
    {
        Join j;
        const QByteArray gone = j.input("gone.bin", "x");
        QVERIFY2(unlink(gone.constData()) == 0, strerror(errno));
        QCOMPARE(j.create(QStringLiteral("sortie.bin")), (JoinOutcome{Kind::ReadError, ENOENT}));
        QCOMPARE(j.messages(), QStringList({ReadError}));

        Join big;
        const QByteArray huge = big.tree.path("in/huge.bin");
        big.tree.folder("in");
        QVERIFY(makeSparse(huge, off_t(1) << 31));
        big.add(huge);
        QCOMPARE(big.create(QStringLiteral("sortie.bin")), JoinOutcome{Kind::TooLarge});

        // The new content is flushed before it replaces the old file: when
        // that fails, the old file stays.
        Join flushing;
        flushing.input("a.bin", "new");
        const QByteArray old = flushing.tree.file("out/old.bin", "old");
        flushing.box.answerNext(MsgAnswer::Yes);
        const int status = test::runInChild([&] {
            return failFlushes()
                && flushing.create(QStringLiteral("old.bin")) == JoinOutcome{Kind::ReadError, EIO};
        });
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 1);
        QCOMPARE(TempTree::read(old), QByteArray("old"));
        QCOMPARE(namesIn(flushing.out), QStringList{"old.bin"});
    }
};

QTEST_GUILESS_MAIN(JoinOutcomeTest)
#include "tst_join_outcomes.moc"
