// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quibex {

enum class MsgIcon { None, Critical };
// YesNo always has No as its default button, so that Enter never overwrites a file.
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Every message the program shows goes through this one interface: the
// window gives the real dialogs, tests and benchmarks give a scripted one.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MsgAnswer show(const QString& text, const QString& title, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // Closes the message being shown, if one is, as its Escape key would:
    // "Non" to a question. The window closing while the program asks.
    virtual void dismiss() { }
};

}  // namespace quibex
