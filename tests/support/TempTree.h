// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace quibex::test {

// A temporary folder in which tests make real files.
class TempTree {
public:
    TempTree();
    ~TempTree();
    bool isValid() const { return dir.isValid(); }
    QByteArray path() const;  // the folder, as bytes
    QByteArray path(const QByteArray& relative) const;
    // Makes a file (and its folders) holding the given bytes; returns its path.
    QByteArray file(const QByteArray& relative, const QByteArray& content = {}) const;
    QByteArray folder(const QByteArray& relative) const;
    static QByteArray read(const QByteArray& path);

private:
    QTemporaryDir dir;
};

}  // namespace quibex::test
