// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/fmenu.h"
#include "support/TempTree.h"
#include "support/ScriptedMessageBox.h"

#include <QStringList>

#include <memory>

namespace quibex::test {

// Highlights a file of the form's file list by name and runs the pick
// handler, as a click on it does. False when the list shows no such file.
bool pickFile(fmenu& form, const QString& name);
// Appends the file at a path to the selection, its name and its folder as
// texts and as bytes, as a pick of it in its folder would.
void appendFile(fmenu& form, const QByteArray& path);

// A form without widgets whose browser works on a temporary tree, with the
// change events wired to their handlers as the window wires them. The tree's
// root folder plays the only drive unless a test gives more.
class FormFixture {
public:
    FormFixture();

    // Points the browser at a folder of the tree through the folder list, as
    // a double-click would.
    void browse(const QByteArray& folder);
    // Highlights a file of the file list by name and runs the pick handler.
    bool pick(const QString& name);

    QStringList names() const;    // List1
    QStringList folders() const;  // List2

    TempTree tree;
    ScriptedMessageBox box;
    std::unique_ptr<fmenu> form;
};

}  // namespace quibex::test
