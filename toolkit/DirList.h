// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/ListBox.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace quibex {

class DriveList;

// The folder list: the chain of folders from the drive's root down to the
// current folder, then the current folder's subfolders. Each item's text is
// the folder's name alone (a view draws the depth), its data the folder's
// full path as bytes.
class DirList : public QObject {
    Q_OBJECT
public:
    explicit DirList(DriveList& drives);

    QString path() const { return shownPath; }
    const QByteArray& nativePath() const { return folder; }

    // Moves to a folder and announces the change when the path changed. Returns
    // false, changing nothing, when the folder cannot be read.
    bool setPath(const QByteArray& nativeFolder);
    // Moves to a drive's current folder, as picking a drive does.
    bool setDrive(const QString& designation);

    // Opens the folder shown at a position (a double-click or Enter).
    bool open(int position);

    ListBox& list() { return shown; }
    // How far below the drive's root the folder at a position lies: 0 for
    // the root, the current folder's depth plus one for its subfolders.
    int depth(int position) const { return position <= currentRow ? position : currentRow + 1; }

signals:
    void changed();

private:
    bool fill(const QByteArray& nativeFolder);

    DriveList& drives;
    QByteArray folder;
    QString shownPath;
    ListBox shown;
    int currentRow = 0;
};

}  // namespace quibex
