// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

namespace quibex {

// The local paths named by a text/uri-list (what file managers put in a
// drag), as bytes: each file: URL percent-decoded, so a name that is not
// UTF-8 keeps its bytes. URLs of another scheme or another machine are left out.
QList<QByteArray> localPathsOf(const QByteArray& uriList);

}  // namespace quibex
