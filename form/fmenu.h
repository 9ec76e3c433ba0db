// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/CheckBox.h"
#include "toolkit/DirList.h"
#include "toolkit/drives/DriveList.h"
#include "toolkit/FileList.h"
#include "toolkit/ListBox.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Surface.h"
#include "toolkit/TextBox.h"

#include <QByteArray>

namespace quibex {

// The main window's controls, by their names. They hold all the state the
// commands share; the commands receive this form and nothing else. The form
// works the same with widgets attached (the real window) or without (tests).
struct fmenu {
    explicit fmenu(MessageBox& shownMessages) : messages(shownMessages) { }
    fmenu(const fmenu&) = delete;
    fmenu& operator=(const fmenu&) = delete;

    // The browser.
    DriveList Drive1;
    DirList Dir1{Drive1};
    FileList File1;

    // The selection: file names (shown) and, position for position, their folders.
    ListBox List1{false, ListBox::MaxItems};
    ListBox List2{false, ListBox::MaxItems};
    // Working lists of the sorts, never shown.
    ListBox List3{true, ListBox::MaxItems};
    ListBox List4{false, ListBox::MaxItems};
    ListBox List5{true, ListBox::MaxItems};
    ListBox List6{false, ListBox::MaxItems};

    TextBox Text1;   // name of the file to create
    TextBox Text2;   // the name last proposed, never shown
    TextBox jauge;   // progress of the current file
    TextBox jauge2;  // progress of the whole join

    CheckBox Check1;  // carriage return after each file
    CheckBox Check2;  // line feed after each file

    Surface window;
    MessageBox& messages;

    // The folder holding the program, where the browser starts.
    QByteArray programFolder;

    // Redraws the window and all its controls before the command goes on.
    void Refresh() { window.refresh(); }
    MsgAnswer MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons = MsgButtons::Ok) const
    {
        return messages.show(text, title, icon, buttons);
    }
};

}  // namespace quibex
