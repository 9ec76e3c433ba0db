// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ChildProcess.h"

#include <cstdio>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quibex::test {

int runInChild(const std::function<int()>& body)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const int result = body();
        std::fflush(nullptr);
        // No destructors, no exit handlers: they belong to the parent.
        _exit(result);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return status;
}

int runAsUser(uid_t uid, gid_t gid, const std::vector<gid_t>& groups,
              const std::function<int()>& body)
{
    const int status = runInChild([&] {
        if (setgroups(groups.size(), groups.data()) != 0 || setresgid(gid, gid, gid) != 0
            || setresuid(uid, uid, uid) != 0)
            return 125;
        return body();
    });
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 125)
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace quibex::test
