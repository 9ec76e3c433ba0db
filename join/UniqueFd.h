// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include <unistd.h>

namespace quibex {

// A file descriptor that is closed when it goes out of scope, so that every
// way out of the join closes what it opened.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int opened) : fd(opened) {}
    UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
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
    void reset(int newFd = -1)
    {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }

private:
    int fd = -1;
};

}  // namespace quibex
