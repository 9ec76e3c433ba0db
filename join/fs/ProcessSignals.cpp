// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/ProcessSignals.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

namespace {

constexpr std::array<int, 3> EndingSignals{SIGTERM, SIGINT, SIGHUP};

// What the handler may touch: prepared before it is armed, read only by it.
volatile sig_atomic_t armed = 0;
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

void onExit()
{
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

void armTemporaryCleanup(int folder, const char* name)
{
    if (std::strlen(name) >= sizeof cleanupName)
        return;
    SignalsBlocked blocked;
    cleanupFolder = folder;
    std::strcpy(cleanupName, name);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    armed = 1;
}

void disarmTemporaryCleanup()
{
    SignalsBlocked blocked;
    armed = 0;
}

}  // namespace quibex
