// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/MessageBox.h"

#include <deque>
#include <vector>

namespace quibex {

// A message box that shows nothing: it records every message and answers
// from a script, or with the default button when the script is empty.
// Tests and benchmarks use it in place of the real dialogs.
class ScriptedMessageBox : public MessageBox {
public:
    struct Shown {
        QString text;
        QString title;
        MsgIcon icon;
        MsgButtons buttons;
    };

    void answerNext(MsgAnswer answer) { script.push_back(answer); }
    const std::vector<Shown>& shown() const { return messages; }
    void forget() { messages.clear(); }

    MsgAnswer show(const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override
    {
        messages.push_back({text, title, icon, buttons});
        if (!script.empty()) {
            const MsgAnswer answer = script.front();
            script.pop_front();
            return answer;
        }
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }

private:
    std::deque<MsgAnswer> script;
    std::vector<Shown> messages;
};

}  // namespace quibex
