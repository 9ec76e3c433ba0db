// SPDX-License-Identifier: GPL-3.0-or-later
// How the program starts: in which folder, under which name, and with Qt's
// texts in French.
#include "app/StartFolder.h"
#include "app/ApplicationIdentity.h"
#include "support/TempTree.h"
#include "support/WriteProtection.h"

#include <QtTest>

#include <QLineEdit>
#include <QMenu>

using namespace quibex;
using namespace quibex::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void placedCopyStartsInItsOwnFolder()
    {
        TempTree tree;
        const QByteArray own = tree.folder("portable");
        QCOMPARE(startFolder(own, "/usr/local/bin:/usr/bin:/bin", tree.folder("home")), own);
        QCOMPARE(startFolder(own + '/', "/usr/bin::", tree.folder("home")), own);
    }

    void installedCopyStartsAtHome()
    {
        TempTree tree;
        const QByteArray bin = tree.folder("usr/bin");
        const QByteArray home = tree.folder("home");
        QCOMPARE(startFolder(bin, "/opt/x:" + bin + "/:/bin", home), home);
        // A folder the user may not write to is one programs were installed in.
        const QByteArray system = tree.folder("system");
        WriteProtection locked(system);
        if (!locked.isEffective())
            QSKIP("this machine lets the tests write into any folder");
        QCOMPARE(startFolder(system, "/bin", home + '/'), home);
    }

    // What the program makes of itself before its window shows: the name,
    // version and desktop entry desktops know it by, and Qt's own texts in
    // French whatever the locale.
    void startsNamedAndInFrench()
    {
        prepareApplication(*qApp);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("quibex"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.4"));
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("quibex"));
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        }
        QCOMPARE(texts,
                 QStringList({"Annuler", "Rétablir", "Couper", "Copier", "Coller", "Supprimer",
                              "Tout sélectionner"}));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
