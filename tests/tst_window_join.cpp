// SPDX-License-Identifier: GPL-3.0-or-later
// A join made through the real window and the real dialogs, from start to
// end: add a folder, sort it both ways, type a name, create, answer the dialogs.
#include "app/MainWindow.h"
#include "support/FatMount.h"
#include "support/FormFixture.h"
#include "support/Lists.h"
#include "support/StoppedServer.h"
#include "support/TempTree.h"
#include "support/window/WindowDriver.h"
#include "toolkit/OffWindowThread.h"
#include "support/ScriptedMessageBox.h"
#include "widgets/GaugeDisplay.h"

#include <QtTest>

#include <QAbstractItemView>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <mutex>
#include <numeric>

using namespace quibex;
using namespace quibex::test;

namespace {

struct SeenDialog {
    QString title;
    QString text;
    QString shown;  // the text as the box renders it, markup applied if it took the text for markup
    QString defaultButton;
    bool critical = false;
    std::function<void()> whileShown;  // done while the box is up, before it is answered
};

// Closes the window once the next message box is up, as a user closing it
// while the program asks something would, and notes whether the box was
// left open; such a box is answered "Non", so that the test fails instead
// of hanging. A window a modal box blocks never hears the window manager's
// close (Qt drops it): the box must leave the window unblocked.
void closeAtTheNextDialog(QWidget& window, bool& leftOpen)
{
    QTimer::singleShot(20, &window, [&window, &leftOpen] {
        if (!shownMessageBox()) {
            closeAtTheNextDialog(window, leftOpen);
            return;
        }
        leftOpen = QGuiApplication::modalWindow() != nullptr;
        window.close();
        QMessageBox* box = shownMessageBox();
        leftOpen = leftOpen || box != nullptr;
        if (box)
            box->findChild<QPushButton*>("Non")->click();
    });
}

// Answers the next message box by pressing the named button, once it is
// up; then, if asked, the one after it.
void answerNextDialog(const QString& button, SeenDialog* seen, const QString& thenButton = {},
                      SeenDialog* thenSeen = nullptr)
{
    QTimer::singleShot(20, [=] {
        QMessageBox* box = shownMessageBox();
        if (!box) {
            answerNextDialog(button, seen, thenButton, thenSeen);
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            seen->shown = QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
        seen->critical = box->icon() == QMessageBox::Critical;
        if (box->defaultButton())
            seen->defaultButton = box->defaultButton()->text();
        if (seen->whileShown)
            seen->whileShown();
        if (thenSeen)
            answerNextDialog(thenButton, thenSeen);
        box->findChild<QPushButton*>(button)->click();
    });
}

// How long a step waits at most to be painted. The window paints within a
// frame; this is only a last resort against a step never painted, which
// then fails the test, far beyond what a loaded machine delays a paint.
constexpr qint64 PaintCeiling = 60000;

// The percentage a progress text shows, -1 for none, as its display reads it.
int percentOf(const QString& text)
{
    const qsizetype sign = text.indexOf(QLatin1Char('%'));
    return sign > 0 ? text.left(sign).toInt() : -1;
}

// Plays a slow medium under a join through the real window: after each
// display step the join's thread waits, as a slow copy would, until the
// window has painted both displays as they then stand, and notes what they
// show; a display never painted during the wait is noted as it was last
// painted. What the window paints is seen in its paint events.
class SlowMedium : public QObject {
public:
    explicit SlowMedium(MainWindow& shown)
        : window(shown),
          jauge(test::widget<GaugeDisplay>(&shown, "jauge")),
          jauge2(test::widget<GaugeDisplay>(&shown, "jauge2"))
    {
        jauge->installEventFilter(this);
        jauge2->installEventFilter(this);
        setDisplayStepHook(
            [this](const TextBox& box, const QString& text) { stepShown(box, text); });
        const std::lock_guard<std::mutex> current(listeningLock);
        listening = this;
    }
    ~SlowMedium() override
    {
        setDisplayStepHook({});
        const std::lock_guard<std::mutex> current(listeningLock);
        listening = nullptr;
    }

    // Run on the window's thread at the first step of the copy.
    std::function<void()> duringFirstStep;
    // Run on the window's thread when the step shown in the file display is this text.
    QString actAt;
    std::function<void()> action;

    QStringList seen;  // what both displays showed painted, step by step
    bool copiedOnWindowThread = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            (watched == jauge ? paintedJauge : paintedJauge2) =
                static_cast<GaugeDisplay*>(watched)->percent();
        return false;
    }

private:
    void stepShown(const TextBox& box, const QString& text)
    {
        if (QThread::currentThread() == window.thread()) {
            // Before the copy started or after it ended; a copy waiting here
            // would keep the window from painting anything.
            copiedOnWindowThread = copiedOnWindowThread || offWindowThreadRunning();
            return;
        }
        {
            const std::lock_guard<std::mutex> held(handOver);
            step = Step{&box,
                        &box == &window.form().jauge ? jauge : jauge2,
                        percentOf(text),
                        text,
                        false,
                        QString()};
        }
        QElapsedTimer waited;
        waited.start();
        const auto isPainted = [&] {
            const std::lock_guard<std::mutex> held(handOver);
            return step.painted;
        };
        do {
            if (waited.elapsed() > 0)
                QThread::msleep(2);
            // A call that carries nothing: what it needs is reached under
            // locks ThreadSanitizer sees, not through Qt's own hand-over.
            QMetaObject::invokeMethod(
                &window, [] { lookAtTheDisplays(); }, Qt::BlockingQueuedConnection);
        } while (!isPainted() && !gaveUp && !stopRequested() && waited.elapsed() < PaintCeiling);
        const std::lock_guard<std::mutex> held(handOver);
        gaveUp = gaveUp || !step.painted;
        seen << step.state;
    }

    // On the window's thread: whether both displays are painted as they
    // stand, the step's display showing the step's value.
    static void lookAtTheDisplays()
    {
        const std::lock_guard<std::mutex> current(listeningLock);
        if (listening)
            listening->look();
    }
    void look()
    {
        const std::lock_guard<std::mutex> held(handOver);
        step.painted = step.display->percent() == step.expected && paintedJauge == jauge->percent()
            && paintedJauge2 == jauge2->percent();
        step.state = QStringLiteral("%1 %2").arg(paintedJauge).arg(paintedJauge2);
        if (duringFirstStep) {
            duringFirstStep();
            duringFirstStep = {};
        }
        if (action && step.box == &window.form().jauge && step.text == actAt)
            action();
    }

    struct Step {
        const TextBox* box = nullptr;
        GaugeDisplay* display = nullptr;
        int expected = -1;
        QString text;
        bool painted = false;
        QString state;
    };
    static inline std::mutex listeningLock;
    static inline SlowMedium* listening = nullptr;

    MainWindow& window;
    // What the window's thread writes for the step waiting here is read
    // under this lock, so that ThreadSanitizer sees the hand-over Qt makes
    // out of its sight. Made before the join's thread starts.
    std::mutex handOver;
    GaugeDisplay* jauge;
    GaugeDisplay* jauge2;
    int paintedJauge = -1;
    int paintedJauge2 = -1;
    Step step;
    bool gaveUp = false;  // one display never painted is enough to fail; the rest need not wait
};

}  // namespace

class WindowJoinTest : public WindowTestBase {
    Q_OBJECT

    TempTree tree;

private slots:
    void init() { window = std::make_unique<MainWindow>(tree.path("dossier")); }

    void initTestCase()
    {
        tree.file("dossier/Scan10.jpg", "<dix>");
        tree.file("dossier/scan9.jpg", "<neuf>");
        tree.file("dossier/SCAN1.jpg", "<un>");
        tree.file("dossier/scan1.jpg", "<un minuscule>");
    }

    void cleanup() { window.reset(); }

    // After "Tri normal" the names show in lower case (SCAN1.jpg and
    // scan1.jpg alike), yet each entry still joins the file it was picked as.
    void sortsThenCreates()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* selection = widget<QAbstractItemView>("List1");

        press("Command4");
        QCOMPARE(rows(selection),
                 QStringList({"SCAN1.jpg", "scan1.jpg", "Scan10.jpg", "scan9.jpg"}));
        press("Command8");  // Tri normal
        QCOMPARE(rows(selection),
                 QStringList({"scan1.jpg", "scan1.jpg", "scan10.jpg", "scan9.jpg"}));
        press("Command7");  // Tri évolué
        QCOMPARE(rows(selection),
                 QStringList({"scan1.jpg", "scan1.jpg", "scan9.jpg", "scan10.jpg"}));

        auto* name = widget<QLineEdit>("Text1");
        QCOMPARE(name->text(), ".jpg");
        SeenDialog refused;
        answerNextDialog("OK", &refused);
        press("Command2_1");  // the proposal alone is no name
        QCOMPARE(refused.text, "Donnez un nom au fichier à créer !");
        QCOMPARE(refused.title, "Contrôle");
        QVERIFY(refused.critical);
        // Back in the window, whatever the window manager does once the
        // box is gone: the focus is in the name box, and heard there.
        QTRY_VERIFY(window->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), name);

        name->setFocus();
        QTest::keyClick(name, Qt::Key_Home);
        QTest::keyClicks(name, "  tout");
        SeenDialog done;
        answerNextDialog("OK", &done);
        press("Command2_1");
        QCOMPARE(done.title, "CREATION DE FICHIER");
        QCOMPARE(done.text, "Fichier tout.jpg : création Ok !");
        QVERIFY(!done.critical);
        QCOMPARE(TempTree::read(tree.path("dossier/tout.jpg")), "<un><un minuscule><neuf><dix>");
        QVERIFY(rows(selection).isEmpty());
        QVERIFY(name->text().isEmpty());
        QVERIFY(rows(widget<QAbstractItemView>("File1")).contains("tout.jpg"));
    }

    // Replacing a file asks first, with "Non" as the default button. The
    // question names the file character for character, even a name that
    // looks like markup.
    void asksBeforeReplacing()
    {
        tree.file("dossier/sortie<b>.bin", "ancien");
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* files = widget<QAbstractItemView>("File1");
        clickRow(files, rows(files).indexOf("scan9.jpg"));
        auto* name = widget<QLineEdit>("Text1");
        name->selectAll();
        QTest::keyClicks(name, "sortie<b>.bin");

        // The box keeps the user to itself: a click in the window behind it
        // moves nothing there.
        SeenDialog question;
        const int framed = files->currentIndex().row();
        question.whileShown = [&] { clickRow(files, rows(files).indexOf("Scan10.jpg")); };
        answerNextDialog("Non", &question);
        press("Command2_1");
        QCOMPARE(files->currentIndex().row(), framed);
        QCOMPARE(question.text, "Le fichier sortie<b>.bin existe déjà. Voulez-vous l'écraser ?");
        QCOMPARE(question.shown, question.text);
        QCOMPARE(question.defaultButton, "Non");
        QVERIFY(!question.critical);
        QCOMPARE(TempTree::read(tree.path("dossier/sortie<b>.bin")), "ancien");
        QCOMPARE(rows(widget<QAbstractItemView>("List1")), QStringList({"scan9.jpg"}));

        SeenDialog again, done;
        answerNextDialog("Oui", &again, "OK", &done);
        press("Command2_1");
        QCOMPARE(again.text, question.text);
        QCOMPARE(done.text, "Fichier sortie<b>.bin : création Ok !");
        QCOMPARE(done.shown, done.text);
        QCOMPARE(done.defaultButton, "OK");
        QCOMPARE(TempTree::read(tree.path("dossier/sortie<b>.bin")), "<neuf>");
    }

    // On a slow medium every step of the copy is painted while it lasts,
    // in order: each chunk's display during that chunk, each file's full
    // bar, each completed file's share of the whole. The window meanwhile
    // takes no click or key.
    void slowJoinPaintsEveryStep_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QStringList>("seen");  // painted "jauge jauge2" after each step
        QTest::newRow("four files of 1,000,000 bytes")
            << QList<int>{1000000, 1000000, 1000000, 1000000}
            << QStringList{"-1 -1",                              // both emptied
                           "-1 -1", "100 -1", "-1 -1", "-1 25",  // the first file
                           "-1 25", "100 25", "-1 25", "-1 50",  "-1 50", "100 50",
                           "-1 50", "-1 75",  "-1 75", "100 75", "-1 75", "-1 100"};
        QTest::newRow("one file of 6,291,456 bytes")
            << QList<int>{6291456}
            << QStringList{"-1 -1", "-1 -1", "33 -1", "66 -1", "100 -1", "-1 -1", "-1 100"};
    }
    void slowJoinPaintsEveryStep()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(QStringList, seen);
        ScriptedMessageBox box;
        const QByteArray folder = "lent" + QByteArray::number(sizes.size());
        for (int i = 0; i < sizes.size(); ++i)
            tree.file(folder + "/" + QByteArray(1, char('a' + i)) + ".bin",
                      QByteArray(sizes[i], 'x'));
        window = std::make_unique<MainWindow>(tree.path(folder), box);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        press("Command4");
        window->form().Text1.setText("tout.bin");
        auto* name = widget<QLineEdit>("Text1");
        const qsizetype selected = sizes.size();

        SlowMedium medium(*window);
        qsizetype selectionDuringJoin = -1;
        QString nameDuringJoin;
        medium.duringFirstStep = [&] {
            QTest::mouseClick(widget<QPushButton>("Command6"), Qt::LeftButton);  // Retirer tout
            QTest::keyClicks(name, "x");
            // Assistive tools act on controls without keys: turned away too.
            QAccessible::queryAccessibleInterface(name)->setText(QAccessible::Value, "dicté.bin");
            selectionDuringJoin = rows(widget<QAbstractItemView>("List1")).size();
            nameDuringJoin = name->text() + '|' + window->form().Text1.text();
        };
        press("Command2_1");

        QCOMPARE(medium.seen, seen);
        QVERIFY(!medium.copiedOnWindowThread);
        QCOMPARE(selectionDuringJoin, selected);
        QCOMPARE(nameDuringJoin, "tout.bin|tout.bin");
        QCOMPARE(box.shown().size(), size_t(1));
        QCOMPARE(box.shown().front().text, "Fichier tout.bin : création Ok !");
        QCOMPARE(TempTree::read(tree.path(folder + "/tout.bin")).size(),
                 std::accumulate(sizes.begin(), sizes.end(), qsizetype(0)));
    }

    // Closing the window during a join stops the copy and ends the program:
    // no message, and the folder exactly as it was, an old file untouched.
    // A file that came under the name meanwhile is asked about once the
    // copy is done; closing then answers "Non" and ends the program too.
    // "Quitter", reached through an assistive tool (clicks are dropped
    // then), does what the close button does. Escape stops the join alone:
    // the window stays, with the selection, the name, emptied displays and
    // the focus on "Créer"; a screen reader was told so by the displays.
    void stoppedDuringJoin_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("how");
        QTest::newRow("new file, closed") << "copying"
                                          << "close";
        QTest::newRow("replacing a file, closed") << "replacing"
                                                  << "close";
        QTest::newRow("a file came meanwhile, closed at the question") << "late question"
                                                                       << "close";
        QTest::newRow("new file, Quitter") << "copying"
                                           << "Quitter";
        QTest::newRow("new file, Escape") << "copying"
                                          << "Escape";
        QTest::newRow("replacing a file, Escape") << "replacing"
                                                  << "Escape";
    }
    void stoppedDuringJoin()
    {
        QFETCH(QString, when);
        QFETCH(QString, how);
        ScriptedMessageBox box;
        const QByteArray sub = QTest::currentDataTag() + QByteArray();
        const QByteArray folder = tree.folder(QByteArray(sub).replace(' ', '-'));
        tree.file(folder.mid(tree.path().size() + 1) + "/a.bin", QByteArray(6291456, 'a'));
        tree.file(folder.mid(tree.path().size() + 1) + "/b.bin", "b");
        if (when == "late question")
            window = std::make_unique<MainWindow>(folder);  // the real dialogs
        else
            window = std::make_unique<MainWindow>(folder, box);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        press("Command4");
        window->form().Text1.setText("sortie.bin");
        if (when == "replacing") {
            tree.file(folder.mid(tree.path().size() + 1) + "/sortie.bin", "ancien");
            box.answerNext(MsgAnswer::Yes);
        }
        QStringList before = namesIn(folder);

        QSignalSpy ended(&window->form().window, &Surface::endRequested);
        bool questionLeftOpen = false;
        QString toldDuringJoin;
        SlowMedium medium(*window);
        medium.actAt = "66% " + QString(93, QChar(127));
        if (when == "late question") {
            medium.action = [&] {
                tree.file(folder.mid(tree.path().size() + 1) + "/sortie.bin", "le leur");
            };
            before << "sortie.bin";
            before.sort();
            closeAtTheNextDialog(*window, questionLeftOpen);
        } else if (how == "close") {
            medium.action = [&] { window->close(); };
        } else if (how == "Quitter") {
            // The tool's press comes as an animated click, a moment later:
            // the join waits here until it has come.
            medium.action = [&] {
                QAccessible::queryAccessibleInterface(widget<QPushButton>("Command2_2"))
                    ->actionInterface()
                    ->doAction(QAccessibleActionInterface::pressAction());
                QTRY_VERIFY_WITH_TIMEOUT(stopRequested(), 60000);
            };
        } else {
            medium.action = [&] {
                toldDuringJoin = QAccessible::queryAccessibleInterface(widget<QWidget>("jauge"))
                                     ->text(QAccessible::Description);
                QTest::keyClick(window.get(), Qt::Key_Escape);
            };
        }
        press("Command2_1");

        QVERIFY(!questionLeftOpen);
        QCOMPARE(box.shown().size(), size_t(when == "replacing" ? 1 : 0));  // the question alone
        QCOMPARE(namesIn(folder), before);
        if (when != "copying")
            QCOMPARE(TempTree::read(folder + "/sortie.bin"),
                     when == "replacing" ? "ancien" : "le leur");
        if (how != "Escape") {
            QVERIFY(!window->isVisible());
            QCOMPARE(ended.count(), 1);
            return;
        }
        QVERIFY(window->isVisible());
        QCOMPARE(ended.count(), 0);
        QCOMPARE(toldDuringJoin, "Échap arrête la création en cours.");
        QCOMPARE(QApplication::focusWidget(), widget<QWidget>("Command2_1"));
        QCOMPARE(window->form().List1.count(), 2);
        QCOMPARE(window->form().Text1.text(), "sortie.bin");
        QCOMPARE(window->form().jauge.text(), QString());
        QCOMPARE(window->form().jauge2.text(), QString());
    }

    // Replacing a file checks that it is none of the selected files under
    // another spelling, which asks each input's volume: with one of them
    // stopped, the window goes on answering while the join waits, and the
    // question comes once the volume answers again.
    void aStoppedInputVolumeNeverHoldsTheWindow()
    {
        FatMount fat(tree.folder("fige"));
        if (!fat.isMounted())
            QSKIP(qPrintable(fat.whyNot()));
        const QByteArray input = tree.file("fige/a.bin", "a");
        const QByteArray folder = tree.folder("arret");
        tree.file("arret/sortie.bin", "ancien");
        ScriptedMessageBox box;  // "Non" to the question
        window = std::make_unique<MainWindow>(folder, box);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        appendFile(window->form(), input);
        window->form().Text1.setText("sortie.bin");

        // What the kernel remembers of the volume's files is forgotten, so
        // that the join has to ask the volume itself.
        QVERIFY(dropCaches());
        StoppedServer stopped(fat.server());
        QVERIFY(stopped.isStopped());
        bool answeredMeanwhile = false;
        QTimer::singleShot(200, window.get(), [&] {
            answeredMeanwhile = offWindowThreadRunning();
            stopped.wake();
        });
        press("Command2_1");
        QVERIFY(answeredMeanwhile);
        QVERIFY2(!stopped.wasWaitedOn(), "the window waited on the stopped volume");
        QCOMPARE(box.shown().size(), size_t(1));
        QCOMPARE(box.shown().front().text,
                 "Le fichier sortie.bin existe déjà. Voulez-vous l'écraser ?");
        QCOMPARE(TempTree::read(tree.path("arret/sortie.bin")), "ancien");
    }
};

QTEST_MAIN(WindowJoinTest)
#include "tst_window_join.moc"
