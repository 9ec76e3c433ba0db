// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <fcntl.h>

#include <cstddef>
#include <cstdint>

#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/syscall.h>
#include <sys/prctl.h>
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

bool refuseSystemCall(long number, int error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, uint32_t(number), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (uint32_t(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{sizeof filter / sizeof filter[0], filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
        && syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_TSYNC, &program) == 0;
}

LiveChild::LiveChild(const std::function<void()>& body)
{
    int ready[2];
    int held[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    if (pipe2(held, O_CLOEXEC) != 0) {
        close(ready[0]);
        close(ready[1]);
        return;
    }
    std::fflush(nullptr);
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(ready[0]);
        close(held[1]);
        body();
        char done = 1;
        if (write(ready[1], &done, 1) != 1)
            _exit(1);
        // Waits until the parent lets go of its end.
        while (read(held[0], &done, 1) < 0 && errno == EINTR) {
        }
        _exit(0);
    }
    close(ready[1]);
    close(held[0]);
    char done = 0;
    if (pid < 0 || read(ready[0], &done, 1) != 1) {
        close(held[1]);
        pid = -1;
    } else {
        release = held[1];
    }
    close(ready[0]);
}

LiveChild::~LiveChild()
{
    if (release >= 0)
        close(release);
    int status = 0;
    if (pid > 0)
        waitpid(pid, &status, 0);
}

}  // namespace quibex::test
