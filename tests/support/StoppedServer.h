// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace quibex::test {

// Whether the window's thread (the program's first) waits now on a FUSE
// volume, in a request that only the volume's server can answer.
inline bool windowWaitsOnAVolume()
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/wchan", int(getpid()));
    char what[64] = {};
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    const bool read = fd >= 0 && ::read(fd, what, sizeof what - 1) > 0;
    if (fd >= 0)
        close(fd);
    return read && std::strncmp(what, "request_wait_answer", 19) == 0;
}

// A volume's server stopped (kill -STOP) for as long as the guard lives,
// so that the volume no longer answers. Should the window's thread wait on
// it all the same, a watchdog that sees it waiting wakes the server, so
// that the test fails (wasWaitedOn()) instead of hanging: however slowly
// the test goes, only a wait on the volume counts.
class StoppedServer {
public:
    explicit StoppedServer(pid_t server) : pid(server)
    {
        stopped = kill(pid, SIGSTOP) == 0;
        watchdog = std::thread([this] {
            std::unique_lock<std::mutex> hold(lock);
            while (
                !finished.wait_for(hold, std::chrono::milliseconds(20), [this] { return done; })) {
                if (windowWaitsOnAVolume()) {
                    waitedOn = true;
                    kill(pid, SIGCONT);
                    return;
                }
            }
        });
    }
    ~StoppedServer()
    {
        {
            const std::lock_guard<std::mutex> hold(lock);
            done = true;
        }
        finished.notify_all();
        watchdog.join();
        wake();
    }
    StoppedServer(const StoppedServer&) = delete;
    StoppedServer& operator=(const StoppedServer&) = delete;

    bool isStopped() const { return stopped; }
    bool wasWaitedOn() const { return waitedOn; }
    void wake() { kill(pid, SIGCONT); }

private:
    pid_t pid;
    bool stopped = false;
    std::atomic<bool> waitedOn{false};
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread watchdog;
};

// Makes the kernel forget the files and folders it remembers, so that the
// next look at a volume's file asks the volume. Needs root.
inline bool dropCaches()
{
    const int fd = open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    const bool done = fd >= 0 && write(fd, "2", 1) == 1;
    if (fd >= 0)
        close(fd);
    return done;
}

}  // namespace quibex::test
