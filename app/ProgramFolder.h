// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace quibex {

// The folder holding the program file, as bytes: without a trailing "/",
// except for the root. A folder name need not be valid UTF-8, and a text
// cannot hold every such name; the browser starts here.
QByteArray programFolder();

}  // namespace quibex
