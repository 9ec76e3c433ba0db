// SPDX-License-Identifier: GPL-3.0-or-later
// What an assistive tool learns of the window: each control's role, its name,
// the label that names it, and the progress displays' values.
#include "app/MainWindow.h"
#include "support/TempTree.h"
#include "support/TmpfsMount.h"
#include "support/window/WindowDriver.h"
#include "support/ScriptedMessageBox.h"
#include "toolkit/TextBox.h"

#include <QtTest>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QComboBox>
#include <QLabel>

using namespace quibex;
using namespace quibex::test;

namespace {

QAccessibleInterface* accessible(QWidget* widget)
{
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(widget);
    if (!found)
        qFatal("no accessible interface for %s", qPrintable(widget->objectName()));
    return found;
}

// The names of the labels that name a control.
QStringList labelledBy(QWidget* widget)
{
    QStringList names;
    for (const auto& [label, relation] : accessible(widget)->relations(QAccessible::Label))
        names << label->text(QAccessible::Name);
    return names;
}

}  // namespace

class AccessibilityTest : public WindowTestBase {
    Q_OBJECT

    TempTree tree;
    ScriptedMessageBox box;

private slots:
    void init()
    {
        tree.file("a.txt", "A");
        window = std::make_unique<MainWindow>(tree.path(), box);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void theWindowIsAWindowNamedByItsTitle()
    {
        QAccessibleInterface* frame = accessible(window.get());
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("QUIBEX 1.4 Fr"));
    }

    // Qt's list views report no label relation of their own: for them the
    // binding shows in the label's buddy, and their own names say what they are.
    void labelsNameTheirControls_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("related");
        // clang-format off
        QTest::newRow("drive list") << "Drive1Caption" << "Drive1" << true;
        QTest::newRow("file list") << "Label1" << "File1" << false;
        QTest::newRow("selection") << "Label2" << "List1" << false;
        QTest::newRow("name box") << "Label3" << "Text1" << true;
        // clang-format on
    }
    void labelsNameTheirControls()
    {
        QFETCH(QString, label);
        QFETCH(QString, control);
        QFETCH(bool, related);
        auto* caption = widget<QLabel>(qPrintable(label));
        auto* target = widget<QWidget>(qPrintable(control));
        QCOMPARE(caption->buddy(), target);
        if (related)
            QCOMPARE(labelledBy(target), QStringList({caption->text()}));
    }

    // The folder list is a tree: each row is a folder's name and says its level.
    void folderRowsSayTheirLevel()
    {
        tree.folder("sous");
        fmenu& f = window->form();
        f.Dir1.setPath(tree.path());
        QAccessibleInterface* folders = accessible(widget<QWidget>("Dir1"));
        const int last = f.Dir1.list().count() - 1;
        QCOMPARE(folders->child(last)->text(QAccessible::Name), "sous");
        QCOMPARE(folders->child(0)->text(QAccessible::Description), "niveau 1");
        QCOMPARE(folders->child(last)->text(QAccessible::Description),
                 QStringLiteral("niveau %1").arg(f.Dir1.depth(last) + 1));
    }

    // Each display is named by what its percentage counts, and read with
    // that percentage; an empty one has no value to read (indeterminate,
    // over AT-SPI), never a 0.
    void progressDisplaysReadAsProgressBars_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("name");
        QTest::newRow("file") << "jauge"
                              << "Fichier en cours";
        QTest::newRow("join") << "jauge2"
                              << "Fichiers traités";
    }
    void progressDisplaysReadAsProgressBars()
    {
        QFETCH(QString, display);
        QFETCH(QString, name);
        fmenu& f = window->form();
        TextBox& shown = display == "jauge" ? f.jauge : f.jauge2;
        QAccessibleInterface* gauge = accessible(widget<QWidget>(qPrintable(display)));
        QCOMPARE(gauge->role(), QAccessible::ProgressBar);
        QCOMPARE(gauge->text(QAccessible::Name), name);
        QAccessibleValueInterface* value = gauge->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->maximumValue().toInt(), 100);
        QVERIFY(!value->currentValue().isValid());
        QVERIFY(gauge->state().checkStateMixed);

        shown.setText("50% " + QString(70, QChar(127)));
        QCOMPARE(value->currentValue().toInt(), 50);
        QCOMPARE(gauge->text(QAccessible::Value), "50 %");
        QVERIFY(!gauge->state().checkStateMixed);
        shown.setText(QString());
        QVERIFY(!value->currentValue().isValid());
        QCOMPARE(gauge->text(QAccessible::Value), QString());
        QVERIFY(gauge->state().checkStateMixed);
    }

    // A volume mounted or unmounted changes the drive list in one step: an
    // assistive tool, which reads the list at each change of its rows, never
    // finds it empty or showing a drive that is not the one shown in the
    // end, and the drop-down's own selection is the shown drive.
    //
    // Screen readers read no value off a drop-down list of this Qt: its
    // description tells them the drive shown when it takes the focus.
    void theDriveListChangesInOneStep()
    {
        auto* drives = widget<QComboBox>("Drive1");
        const QString home = drives->currentText();
        const auto told = [drives] { return accessible(drives)->text(QAccessible::Description); };
        QCOMPARE(told(), home);
        const QString stick = QString::fromUtf8(tree.folder("cle"));
        QStringList shownAtEachChange;
        const auto record = [&] { shownAtEachChange << drives->currentText(); };
        QAbstractItemModel* rowsOf = drives->model();
        const QObject recording;  // the connections end with the test
        connect(rowsOf, &QAbstractItemModel::rowsInserted, &recording, record);
        connect(rowsOf, &QAbstractItemModel::rowsRemoved, &recording, record);
        connect(rowsOf, &QAbstractItemModel::modelReset, &recording, record);
        connect(rowsOf, &QAbstractItemModel::dataChanged, &recording, record);
        const auto others = [&](const QString& shown) {
            return shownAtEachChange.filter(
                QRegularExpression("^(?!" + QRegularExpression::escape(shown) + "$)"));
        };
        const auto selectedInDropDown = [drives] {
            QStringList selected;
            for (const QModelIndex& row : drives->view()->selectionModel()->selectedIndexes())
                selected << row.data().toString();
            return selected;
        };

        TmpfsMount volume(tree.path("cle"));
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.whyNot()));
        QTRY_VERIFY_WITH_TIMEOUT(rows(drives->view()).contains(stick), MountEventCeiling);
        QCOMPARE(others(home), QStringList());
        // The stick is picked, then taken out: the list goes straight back.
        drives->showPopup();
        drives->view()->setCurrentIndex(drives->model()->index(drives->findText(stick), 0));
        QTest::keyClick(drives->view(), Qt::Key_Return);
        QCOMPARE(drives->currentText(), stick);
        QCOMPARE(told(), stick);
        shownAtEachChange.clear();
        QVERIFY(volume.unmount());
        QTRY_VERIFY_WITH_TIMEOUT(!rows(drives->view()).contains(stick), MountEventCeiling);
        QCOMPARE(others(home), QStringList());
        QCOMPARE(drives->currentText(), home);
        QCOMPARE(told(), home);
        QCOMPARE(selectedInDropDown(), QStringList({home}));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
