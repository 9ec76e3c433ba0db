// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <csignal>

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace quibex::test {

// A volume's server stopped (kill -STOP) for as long as the guard lives,
// so that the volume no longer answers. Should the program wait on it all
// the same, a watchdog wakes the server after a long while, so that the
// test fails (wasWaitedOn()) instead of hanging.
class StoppedServer {
public:
    explicit StoppedServer(pid_t server) : pid(server)
    {
        stopped = kill(pid, SIGSTOP) == 0;
        watchdog = std::thread([this] {
            std::unique_lock<std::mutex> hold(lock);
            if (!finished.wait_for(hold, std::chrono::seconds(20), [this] { return done; })) {
                waitedOn = true;
                kill(pid, SIGCONT);
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
