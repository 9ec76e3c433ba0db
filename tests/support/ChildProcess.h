// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <sys/types.h>

namespace quibex::test {

// Runs body in a forked child and returns the child's wait status: what a
// test needs to watch the program end by a signal, or to act as someone
// else. The child's exit status is body's result.
int runInChild(const std::function<int()>& body);

// Runs body in a child that has taken the given numeric ids first, so that
// it acts as a user that is not root (no account is needed). Returns the
// body's result, or -1 when the ids could not be taken or the child died.
// Taking other ids needs root: callers skip the test otherwise.
int runAsUser(uid_t uid, gid_t gid, const std::vector<gid_t>& groups,
              const std::function<int()>& body);

// From now on, in this process, the system call of that number fails with
// that error without being made, as on a file system or kernel that does
// not offer it (seccomp). For a child only: it cannot be undone.
bool refuseSystemCall(long number, int error);

// A child that runs body and then stays alive until the guard goes: a
// process that holds something (a file it is writing) while the test looks.
// The child ends with the test run too.
class LiveChild {
public:
    explicit LiveChild(const std::function<void()>& body);
    ~LiveChild();
    LiveChild(const LiveChild&) = delete;
    LiveChild& operator=(const LiveChild&) = delete;

    bool isRunning() const { return pid > 0; }

private:
    pid_t pid = -1;
    int release = -1;
};

}  // namespace quibex::test
