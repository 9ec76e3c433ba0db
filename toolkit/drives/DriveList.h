// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/ListBox.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>
#include <vector>

namespace quibex {

// A drive: a mounted file system the user may browse, named by its root
// folder, shown with its label when it has one.
struct Drive {
    QByteArray root;
    QString label;
    // A real mount point is checked to be still mounted before it is browsed;
    // the folders tests use as drives are not mount points.
    bool mountPoint = false;
};

// The drive list. It also remembers, for each drive, the folder the folder
// list last showed on it during this run (its root at first): picking a
// drive goes back there.
class DriveList : public QObject {
    Q_OBJECT
public:
    DriveList();

    // The file systems mounted on this machine that can be browsed. Each
    // volume is asked for a moment only: one that does not answer in time
    // is listed all the same, without a label, and not waited for.
    static std::vector<Drive> mountedDrives();
    // Tests point the list at folders of their own.
    void setDrives(std::vector<Drive> drives);
    // The drives mounted now, read again: each drive still there keeps the
    // folder it remembers, and the selection goes to the drive holding
    // shownFolder (the folder list's folder), without a change announced: the
    // user picked nothing.
    void updateDrives(std::vector<Drive> drives, const QByteArray& shownFolder);

    // The designation of the selected drive: its root, with " [label]" after it when labelled.
    QString drive() const;
    // Selects the drive named by a designation (its root is enough). Announces
    // a change when the selected drive changes. Unknown designations are ignored.
    void setDrive(const QString& designation);
    // The user's pick: announces the change even for the drive already selected,
    // which goes back to that drive's folder like any other pick.
    void pickDrive(const QString& designation);

    // The designation of the drive holding a folder: the one whose root is
    // the longest leading part of the folder's path.
    QString driveOf(const QByteArray& nativeFolder) const;
    QByteArray rootOf(const QString& designation) const;
    // False when the drive is gone: unmounted, or its root cannot be read,
    // or it did not answer within a moment.
    bool isReady(const QString& designation) const;

    QByteArray currentFolder(const QString& designation) const;
    void rememberFolder(const QByteArray& nativeFolder);

    ListBox& list() { return shown; }

signals:
    void changed();

private:
    void showDrives();
    int indexOf(const QString& designation) const;
    static QString designationOf(const Drive& drive);

    std::vector<Drive> drives;
    std::map<QByteArray, QByteArray> currentFolders;
    ListBox shown;
    int selected = -1;
};

}  // namespace quibex
