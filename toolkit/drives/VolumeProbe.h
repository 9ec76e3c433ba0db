// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quibex {

// A volume that no longer answers (a FUSE daemon stopped, a dead network
// share) holds whoever touches it for as long as it likes, and the window
// must not wait on it. Questions to volumes are asked on threads of a small
// pool, never more than a few however many volumes there are, and the
// caller waits for the answer until a bound has passed, no longer.
//
// A question names its volume (its mount root: volumeOf()). A volume whose
// earlier question is still unanswered is not asked again, nor waited for:
// it has already failed to answer, and asking again would only hold
// another thread.

// How the caller waits: still, for a moment well under what a user
// notices; or answering, the window going on with its paints and its
// other events, for longer work such as reading a large folder.
enum class Waiting { Still, Answering };

// Asks question of volume; true when it returned within bound. The
// question may go on after that, so it must own what it touches.
bool askVolume(const QByteArray& volume, std::function<void()> question,
               std::chrono::milliseconds bound, Waiting waiting = Waiting::Still);

template <typename Answer>
std::optional<Answer> askVolumeFor(const QByteArray& volume, std::function<Answer()> question,
                                   std::chrono::milliseconds bound,
                                   Waiting waiting = Waiting::Still)
{
    auto answer = std::make_shared<std::optional<Answer>>();
    if (!askVolume(
            volume, [answer, question = std::move(question)] { answer->emplace(question()); },
            bound, waiting))
        return std::nullopt;
    return std::move(*answer);
}

// Whether path (links followed) is of the file type given (S_IFREG,
// S_IFDIR), asked of its volume for a moment only: a volume that does not
// answer in time counts as holding no such thing.
bool isOfTypeWithin(const QByteArray& path, unsigned type);

// What a volume's root folder answered, if it answered at all.
struct VolumeAnswer {
    bool answered = false;  // false: it did not answer in time, nothing below is known
    bool folder = false;    // the root is a folder (containers bind-mount single files)
    bool sized = false;     // it has a size: not one of the kernel's own file systems
    bool readable = false;  // its root folder can be listed
};

// Asks each root at once, waiting for all the answers together until the
// bound has passed.
std::vector<VolumeAnswer> askVolumes(const std::vector<QByteArray>& roots,
                                     std::chrono::milliseconds bound);

// The mount root of the volume holding path, by the system's mount table
// (which asks the kernel only): the name of the volume a question about
// path goes to. Paths are taken as they are written, links not followed.
QByteArray volumeOf(const QByteArray& path);

// How long the window may wait still for a volume: a moment, well under
// what a user notices, and far more than a volume that answers needs.
inline constexpr std::chrono::milliseconds VolumeAnswerBound{200};
// How long the window waits, answering, for a folder to be read: a large
// folder on a slow network share takes a while; a volume that has not
// answered by then is taken for one that does not.
inline constexpr std::chrono::milliseconds FolderReadBound{3000};

}  // namespace quibex
