// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/OffWindowThread.h"

#include "toolkit/Surface.h"
#include "toolkit/TextBox.h"
#include "toolkit/UserInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quibex {

namespace {

// A screen shows about sixty frames a second: handing the displays over
// more often only costs the window's thread time nobody sees.
constexpr int FrameMilliseconds = 16;

struct Step {
    TextBox* box;
    Surface* window;
    QString text;
};

// What the work hands over, guarded by the lock; the window's thread takes
// it all at once.
std::mutex handOverLock;
std::vector<Step> handedOver;
bool wakeUpPosted = false;

// Touched on the window's thread only.
bool running = false;
QElapsedTimer sinceLastShown;
struct Waiter {
    QEventLoop* loop;
    const std::function<bool()>* finished;
};
Waiter* waiting = nullptr;
QObject* inputWatcher = nullptr;

std::atomic<bool> stopAsked{false};
DisplayStepHook stepHook;

void apply(const Step& step)
{
    step.box->setText(step.text);
    step.box->refresh();
    step.window->refresh();
}

void showHandedOver()
{
    std::vector<Step> steps;
    {
        std::lock_guard<std::mutex> locked(handOverLock);
        steps.swap(handedOver);
        wakeUpPosted = false;
    }
    for (const Step& step : steps)
        apply(step);
    sinceLastShown.restart();
}

// On the window's thread: shows what was handed over now when a frame has
// passed since the last time, otherwise at the next frame.
void showWhenDue()
{
    const qint64 since = sinceLastShown.isValid() ? sinceLastShown.elapsed() : FrameMilliseconds;
    if (since >= FrameMilliseconds)
        showHandedOver();
    else
        QTimer::singleShot(int(FrameMilliseconds - since), QCoreApplication::instance(),
                           showHandedOver);
}

// Drops the user's input while the work runs. Held back instead, a click
// on "Créer" or a key would start a command once the join ends, or answer
// the message that ends it before anyone has read it.
// The watcher (the window) sees it first, and may act on it: a key that
// stops the join.
class InputDropper : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!isUserInput(event->type()))
            return false;
        if (inputWatcher)
            inputWatcher->eventFilter(receiver, event);
        return true;
    }
};

}  // namespace

bool canWaitAnswering()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread() && !running;
}

bool waitAnswering(const std::function<bool()>& finished,
                   std::optional<std::chrono::milliseconds> bound)
{
    if (finished())
        return true;
    QCoreApplication* app = QCoreApplication::instance();
    running = true;
    InputDropper dropper;
    app->installEventFilter(&dropper);
    QEventLoop loop;
    Waiter waiter{&loop, &finished};
    waiting = &waiter;
    QTimer timer;
    if (bound) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(*bound);
    }
    if (!finished())
        loop.exec();
    waiting = nullptr;
    // The last frame's steps, handed over after the last time they were shown.
    showHandedOver();
    app->removeEventFilter(&dropper);
    running = false;
    return finished();
}

void wakeWindowThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [] {
            if (waiting && (*waiting->finished)())
                waiting->loop->quit();
        },
        Qt::QueuedConnection);
}

void runOffWindowThread(const std::function<void()>& work)
{
    if (!canWaitAnswering()) {
        work();
        return;
    }
    std::atomic<bool> done{false};
    std::thread worker;
    try {
        worker = std::thread([&] {
            work();
            done = true;
            wakeWindowThread();
        });
    } catch (const std::system_error&) {
        work();  // no thread to be had: the window waits, as it would have
        return;
    }
    // Should the application be told to quit meanwhile (its event loops all
    // end then), the work is asked to stop, and the window waits for it.
    if (!waitAnswering([&] { return done.load(); }, std::nullopt))
        requestStop();
    worker.join();
}

bool offWindowThreadRunning()
{
    return running;
}

void showOnWindowThread(TextBox& box, Surface& window, const QString& text)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        apply({&box, &window, text});
    } else {
        bool wakeUp = false;
        {
            std::lock_guard<std::mutex> locked(handOverLock);
            handedOver.push_back({&box, &window, text});
            wakeUp = !wakeUpPosted;
            wakeUpPosted = true;
        }
        // A call that carries nothing from this thread: the steps go through
        // the lock above, which ThreadSanitizer sees, not through Qt's own
        // hand-over of the call, which it does not.
        if (wakeUp)
            QMetaObject::invokeMethod(
                app, [] { showWhenDue(); }, Qt::QueuedConnection);
    }
    if (stepHook)
        stepHook(box, text);
}

void setInputWatcher(QObject* watcher)
{
    inputWatcher = watcher;
}

void forgetInputWatcher(QObject* watcher)
{
    if (inputWatcher == watcher)
        inputWatcher = nullptr;
}

void requestStop()
{
    stopAsked = true;
}

void clearStopRequest()
{
    stopAsked = false;
}

bool stopRequested()
{
    return stopAsked;
}

void setDisplayStepHook(DisplayStepHook hook)
{
    stepHook = std::move(hook);
}

}  // namespace quibex
