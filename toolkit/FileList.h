// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toolkit/FolderReader.h"
#include "toolkit/ListBox.h"

#include <QByteArray>
#include <QString>

namespace quibex {

// The file list: the files of one folder, highlighted one at a time. Each
// item's data holds the file's exact on-disk name.
class FileList {
public:
    QString path() const { return shownPath; }
    const QByteArray& nativePath() const { return folder; }

    // Lists the folder's files. Returns false, changing nothing, when the
    // folder cannot be read.
    bool setPath(const QByteArray& nativeFolder);
    // Reads the folder again (a new file appears, a removed one goes).
    bool reread();
    // Shows a listing of the folder read elsewhere, away from the window's thread.
    void show(const QByteArray& nativeFolder, const FolderListing& listing);

    // The highlighted file's name, empty when none is highlighted. A folder
    // that has gone since it was listed has no files to pick.
    QString fileName() const;
    QByteArray fileNameData() const;

    // No files once the folder has gone: nothing can be picked from it.
    int count() const { return folderStillThere() ? files.count() : 0; }
    QString item(int position) const { return files.item(position); }
    QByteArray itemData(int position) const { return files.itemData(position); }
    int listIndex() const { return files.listIndex(); }
    void setListIndex(int position) { files.setListIndex(position); }

    ListBox& list() { return files; }

private:
    bool folderStillThere() const;

    QByteArray folder;
    QString shownPath;
    ListBox files;
};

}  // namespace quibex
