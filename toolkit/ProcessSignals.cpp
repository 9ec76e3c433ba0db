// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/ProcessSignals.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

namespace {

constexpr std::array<int, 3> EndingSignals{SIGTERM, SIGINT, SIGHUP};

// What the handler may touch: prepared before it is armed, read only by it.
volatile sig_atomic_t armed = 0;
// Held between hold() and release(); the signal noted meanwhile, or ExitNoted.
std::atomic<int> held{0};
std::atomic<int> noted{0};
std::atomic<uint64_t> heldSteps{0};
constexpr int ExitNoted = -1;
static_assert(std::atomic<int>::is_always_lock_free, "read by a signal handler");
int cleanupFolder = -1;
char cleanupName[128];
struct sigaction previous[EndingSignals.size()];

size_t slotOf(int signal)
{
    for (size_t i = 0; i < EndingSignals.size(); ++i) {
        if (EndingSignals[i] == signal)
            return i;
    }
    return 0;
}

// Only async-signal-safe calls: unlinkat, sigaction, raise.
void onEndingSignal(int signal)
{
    const int savedErrno = errno;
    if (held.load() > 0) {
        noted.store(signal);
        errno = savedErrno;
        return;
    }
    if (armed) {
        armed = 0;
        unlinkat(cleanupFolder, cleanupName, 0);
    }
    // The signal is blocked while this runs; once it returns, the signal is
    // taken again the way it was before this handler, which by default ends
    // the program with that signal as its cause.
    sigaction(signal, &previous[slotOf(signal)], nullptr);
    raise(signal);
    errno = savedErrno;
}

// Keeps the handler from running while what it reads is half written.
class SignalsBlocked {
public:
    SignalsBlocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : EndingSignals)
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &saved);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &saved, nullptr); }

private:
    sigset_t saved;
};

// How long the program's exit waits for held work to move on, at most,
// before it takes the work for one a volume holds still.
constexpr int ExitWaitSteps = 100;
constexpr long ExitWaitStepNanoseconds = 10'000'000;

void onExit()
{
    if (held.load() > 0) {
        int expected = 0;
        noted.compare_exchange_strong(expected, ExitNoted);
        uint64_t seen = heldSteps.load();
        for (int step = 0; step < ExitWaitSteps && held.load() > 0; ++step) {
            const timespec pause{0, ExitWaitStepNanoseconds};
            nanosleep(&pause, nullptr);
            if (processSignals().heldWorkGoesOn(seen))
                step = 0;
        }
    }
    SignalsBlocked blocked;
    if (armed) {
        armed = 0;
        unlinkat(cleanupFolder, cleanupName, 0);
    }
}

}  // namespace

void setUpProcessSignals()
{
    static const bool exitHandled = std::atexit(onExit) == 0;
    (void)exitHandled;
    signal(SIGXFSZ, SIG_IGN);
    for (size_t i = 0; i < EndingSignals.size(); ++i) {
        struct sigaction current { };
        sigaction(EndingSignals[i], nullptr, &current);
        // A signal the user chose to ignore (nohup) stays ignored.
        if (current.sa_handler == SIG_IGN || current.sa_handler == onEndingSignal)
            continue;
        previous[i] = current;
        struct sigaction action { };
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(EndingSignals[i], &action, nullptr);
    }
}

ProcessSignals& processSignals()
{
    static ProcessSignals signals;
    return signals;
}

void ProcessSignals::named(int folder, const char* name)
{
    if (std::strlen(name) >= sizeof cleanupName)
        return;
    SignalsBlocked blocked;
    cleanupFolder = folder;
    std::strcpy(cleanupName, name);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    armed = 1;
}

void ProcessSignals::unnamed()
{
    SignalsBlocked blocked;
    armed = 0;
}

void ProcessSignals::hold()
{
    held.fetch_add(1);
}

void ProcessSignals::release()
{
    if (held.fetch_sub(1) != 1)
        return;
    const int signal = noted.exchange(0);
    if (signal > 0)
        raise(signal);
}

bool ProcessSignals::endingAsked() const
{
    return noted.load() != 0;
}

void ProcessSignals::progressed()
{
    heldSteps.fetch_add(1);
}

bool ProcessSignals::heldWorkGoesOn(uint64_t& seen) const
{
    const uint64_t now = heldSteps.load();
    const bool moved = held.load() > 0 && now != seen;
    seen = now;
    return moved;
}

}  // namespace quibex
