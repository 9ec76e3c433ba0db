// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

// A file descriptor that is closed when it goes out of scope, so that every
// way out of the join closes what it opened.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int opened) : fd(opened) { }
    UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) { }
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }
    // Closes now and says how that went: 0 or the errno. Some file systems
    // (NFS, CIFS, FUSE ones like sshfs) report a write that failed only
    // here, so a file written to must be closed this way, not by reset().
    [[nodiscard]] int close()
    {
        const int closing = std::exchange(fd, -1);
        if (closing < 0)
            return 0;
        // The descriptor is gone even when close fails, EINTR included:
        // closing it again could close another file's.
        return ::close(closing) == 0 ? 0 : errno;
    }
    void reset(int newFd = -1)
    {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }

private:
    int fd = -1;
};

// Some file systems (NFS, CIFS, FUSE ones such as sshfs) report a write
// that failed only when a descriptor of the file is closed. Closing a copy
// of the descriptor asks them now, while the file can still be dropped or
// its old content put back. 0 or the errno.
[[nodiscard]] inline int closeACopy(int fd)
{
    const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return errno;
    return ::close(copy) == 0 ? 0 : errno;
}

}  // namespace quibex
