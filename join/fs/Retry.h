// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>

namespace quibex {

// Makes a system call again for as long as a signal interrupts it before it
// did anything. Returns the call's result, errno as the last call left it.
// Every read, write and wait of the join goes through here, so that none
// reports a signal as a failure.
template <typename Call>
[[nodiscard]] auto retryOnInterrupt(Call call) -> decltype(call())
{
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

}  // namespace quibex
