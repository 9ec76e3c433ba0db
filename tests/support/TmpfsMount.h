// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace quibex::test {

// How long a test waits at most for the window to see a mount or an
// unmount: it goes on as soon as the window has, so this is only a last
// resort against a change that never shows, far beyond what load delays.
inline constexpr int MountEventCeiling = 300000;

// A real volume for as long as the guard lives: a small tmpfs mounted on a
// folder. Mounting needs root (or the right to mount); a test that gets no
// volume skips, giving the reason.
class TmpfsMount {
public:
    explicit TmpfsMount(const QByteArray& folder, const char* options = "size=1m");
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool isMounted() const { return mounted; }
    QString whyNot() const { return reason; }
    bool unmount();

private:
    QByteArray folder;
    bool mounted = false;
    QString reason;
};

}  // namespace quibex::test
