// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "join/Join.h"
#include "support/FormFixture.h"
#include "support/TempTree.h"
#include "widgets/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace quibex;
using quibex::test::appendFile;
using quibex::test::TempTree;

namespace {

// Answers the real dialogs as a user would: each message box that appears
// gets the next button of the script clicked, and what it showed is noted.
class DialogClicker : public QObject {
public:
    explicit DialogClicker(QStringList buttons) : script(std::move(buttons))
    {
        connect(&timer, &QTimer::timeout, this, &DialogClicker::poll);
        timer.start(10);
    }
    QStringList seen;  // text, then the default button's name, for each box

private:
    void poll()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            seen << box->text() << (box->defaultButton() ? box->defaultButton()->objectName() : "none");
            // A box the script did not expect is closed by its default button.
            const QString name = script.isEmpty() ? seen.last() : script.takeFirst();
            if (auto* button = box->findChild<QPushButton*>(name))
                button->click();
            return;
        }
    }

    QStringList script;
    QTimer timer;
};

}  // namespace

class JoinDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void overwriteQuestionThroughRealDialogs();
};

void JoinDialogsTest::overwriteQuestionThroughRealDialogs()
{
    TempTree tree;
    const QByteArray out = tree.folder("out");
    const QByteArray old = tree.file("out/old.bin", "old content");
    QWidget window;
    QtMessageBox messages(&window);
    fmenu form(messages);
    form.Drive1.setDrives({{tree.path(), {}}});
    form.Dir1.setPath(out);
    form.File1.setPath(out);
    const QByteArray input = tree.file("in/a.bin", "new");
    appendFile(form, input);

    const QString question = QStringLiteral("Le fichier old.bin existe déjà. Voulez-vous l'écraser ?");
    {
        DialogClicker user({QStringLiteral("Non")});
        form.Text1.setText(QStringLiteral("old.bin"));
        Command2_Click(form, 1);
        QCOMPARE(user.seen, (QStringList{question, QStringLiteral("Non")}));
        QCOMPARE(TempTree::read(old), QByteArray("old content"));
    }
    {
        DialogClicker user({QStringLiteral("Oui"), QStringLiteral("OK")});
        Command2_Click(form, 1);
        QCOMPARE(user.seen, (QStringList{question, QStringLiteral("Non"),
                                         QStringLiteral("Fichier old.bin : création Ok !"),
                                         QStringLiteral("OK")}));
        QCOMPARE(TempTree::read(old), QByteArray("new"));
        QCOMPARE(form.List1.count(), 0);
    }
}

QTEST_MAIN(JoinDialogsTest)
#include "tst_join_dialogs.moc"
