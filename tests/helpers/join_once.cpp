// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one join through the program's own flow, as "Créer" does, without a
// window: a program that tests can end at any point from outside (a kill at
// each system call in turn) and start again.
//
//   join_once [--as UID:GID] FOLDER NAME INPUT...
//
// Joins the inputs into FOLDER/NAME, answering "Oui" to any question, as
// the user UID of group GID when given. Exits 0 when the file was created.
#include "form/fmenu.h"
#include "join/Join.h"
#include "toolkit/ProcessSignals.h"
#include "support/FormFixture.h"
#include "support/ScriptedMessageBox.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

#include <grp.h>
#include <unistd.h>

using namespace quibex;

int main(int argc, char* argv[])
{
    int first = 1;
    if (argc > 2 && QByteArray(argv[1]) == "--as") {
        const QList<QByteArray> ids = QByteArray(argv[2]).split(':');
        const uid_t uid = uid_t(ids.value(0).toUInt());
        const gid_t gid = gid_t(ids.value(1).toUInt());
        if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0
            || setresuid(uid, uid, uid) != 0) {
            std::perror("join_once: taking the ids");
            return 2;
        }
        first = 3;
    }
    if (argc - first < 3) {
        std::fprintf(stderr, "usage: join_once [--as UID:GID] FOLDER NAME INPUT...\n");
        return 2;
    }
    setUpProcessSignals();
    ScriptedMessageBox box;
    box.answerNext(MsgAnswer::Yes);  // the question before the copy
    box.answerNext(MsgAnswer::Yes);  // and the one after it, should a file have come meanwhile
    fmenu form(box);
    for (int i = first + 2; i < argc; ++i)
        test::appendFile(form, argv[i]);
    const QByteArray folder(argv[first]);
    const QByteArray name(argv[first + 1]);
    const JoinOutcome outcome =
        CreerFichier(form, folder + '/' + name, QString::fromLocal8Bit(name));
    return outcome.kind == JoinOutcome::Kind::Created ? 0 : 1;
}
