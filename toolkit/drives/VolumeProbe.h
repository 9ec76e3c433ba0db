// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <chrono>
#include <vector>

namespace quibex {

// What a volume's root folder answered, if it answered at all.
struct VolumeAnswer {
    bool answered = false;  // false: it did not answer in time, nothing below is known
    bool folder = false;    // the root is a folder (containers bind-mount single files)
    bool sized = false;     // it has a size: not one of the kernel's own file systems
    bool readable = false;  // its root folder can be listed
};

// A volume that no longer answers (a FUSE daemon stopped, a dead network
// share) holds whoever touches it for as long as it likes, and the window
// must not wait on it. Each root is asked on a thread of its own; the
// caller waits for the answers until the bound has passed, no longer. A
// root still being asked from an earlier call is not asked again, nor
// waited for: it has already failed to answer.
std::vector<VolumeAnswer> askVolumes(const std::vector<QByteArray>& roots,
                                     std::chrono::milliseconds bound);

// How long the window may wait for the volumes it reads: a moment, well
// under what a user notices, and far more than a volume that answers needs.
inline constexpr std::chrono::milliseconds VolumeAnswerBound{200};

}  // namespace quibex
