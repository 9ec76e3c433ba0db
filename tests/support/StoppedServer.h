// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <dirent.h>
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

// Whether every thread of a process has stopped. kill() only sends
// SIGSTOP: each thread stops when it next runs, and on a loaded machine the
// server may answer another request first.
inline bool allThreadsStopped(pid_t pid)
{
    char folder[64];
    std::snprintf(folder, sizeof folder, "/proc/%d/task", int(pid));
    DIR* tasks = opendir(folder);
    if (!tasks)
        return false;
    bool all = true;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        const std::string path = std::string(folder) + '/' + task->d_name + "/stat";
        char stat[512] = {};
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const bool read = fd >= 0 && ::read(fd, stat, sizeof stat - 1) > 0;
        if (fd >= 0)
            close(fd);
        // The state follows the command name, which may hold any character.
        const char* end = read ? std::strrchr(stat, ')') : nullptr;
        if (!end || (end[2] != 'T' && end[2] != 't'))
            all = false;
    }
    closedir(tasks);
    return all;
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
        stopped = kill(pid, SIGSTOP) == 0 && waitUntilStopped();
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
    // Until every thread of the server has stopped, with a ceiling of a
    // minute as a last resort.
    bool waitUntilStopped() const
    {
        const auto ceiling = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!allThreadsStopped(pid)) {
            if (std::chrono::steady_clock::now() > ceiling)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

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
