// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/ListBox.h"

#include <QByteArray>
#include <QObject>
#include <QString>


namespace quibex {

class DriveList;

// The folder list: the chain of folders from the drive's root down to the
// current folder, indented, then the current folder's subfolders. Each
// item's data holds the folder's full path as bytes.
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

signals:
    void changed();

private:
    bool fill(const QByteArray& nativeFolder);

    DriveList& drives;
    QByteArray folder;
    QString shownPath;
    ListBox shown;
};

}  // namespace quibex
