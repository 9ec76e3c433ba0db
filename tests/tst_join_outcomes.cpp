// SPDX-License-Identifier: GPL-3.0-or-later
// What "Créer" and "Quitter" tell their caller, beside the messages the
// user sees: one outcome for each way a press can end.
#include "support/JoinFixture.h"

#include <QtTest>

using namespace quibex;
using namespace quibex::test;
using Kind = JoinOutcome::Kind;

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
        QVERIFY(unlink(gone.constData()) == 0);
        QCOMPARE(j.create(QStringLiteral("sortie.bin")), (JoinOutcome{Kind::ReadError, ENOENT}));
        QCOMPARE(j.messages(), QStringList({ReadError}));

        Join big;
        const QByteArray huge = big.tree.path("in/huge.bin");
        big.tree.folder("in");
        QVERIFY(makeSparse(huge, off_t(1) << 31));
        big.add(huge);
        QCOMPARE(big.create(QStringLiteral("sortie.bin")), JoinOutcome{Kind::TooLarge});
    }
};

QTEST_GUILESS_MAIN(JoinOutcomeTest)
#include "tst_join_outcomes.moc"
