// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace quibex::test {

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
