// SPDX-License-Identifier: GPL-3.0-or-later
#include "selection/SelectionEntry.h"

#include "form/fmenu.h"
#include "selection/Selection.h"
#include "toolkit/FolderReader.h"

#include <QFile>

namespace quibex {

namespace {

// An item added with its text only has no bytes: its text, encoded the
// file system's way, is then its spelling on disk.
QByteArray onDisk(const QString& text, const QByteArray& bytes)
{
    return bytes.isEmpty() ? QFile::encodeName(text) : bytes;
}

}  // namespace

QByteArray SelectionEntry::nativePath() const
{
    return joinPath(onDisk(folder, folderBytes), onDisk(name, nameBytes));
}

SelectionEntry entryIn(const ListBox& names, const ListBox& folders, int i)
{
    return {names.item(i), names.itemData(i), folders.item(i), folders.itemData(i)};
}

void addEntryTo(ListBox& names, ListBox& folders, const SelectionEntry& entry)
{
    names.addItem(entry.name, entry.nameBytes);
    folders.addItem(entry.folder, entry.folderBytes);
}

int entryCount(const fmenu& form)
{
    return form.List1.count();
}

SelectionEntry entryAt(const fmenu& form, int i)
{
    return entryIn(form.List1, form.List2, i);
}

QByteArray entryNativePath(const fmenu& form, int i)
{
    return entryAt(form, i).nativePath();
}

std::vector<QByteArray> selectedPaths(const fmenu& form)
{
    std::vector<QByteArray> paths;
    const int count = entryCount(form);
    paths.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        paths.push_back(entryNativePath(form, i));
    return paths;
}

std::vector<SelectionEntry> allEntries(const fmenu& form)
{
    std::vector<SelectionEntry> entries;
    const int count = entryCount(form);
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(entryAt(form, i));
    return entries;
}

QSet<QString> entryNames(const fmenu& form, qsizetype more)
{
    QSet<QString> names;
    names.reserve(entryCount(form) + more);
    for (int i = 0; i < entryCount(form); ++i)
        names.insert(form.List1.item(i));
    return names;
}

void appendEntry(fmenu& form, const SelectionEntry& entry)
{
    addEntryTo(form.List1, form.List2, entry);
}

void insertEntry(fmenu& form, int i, const SelectionEntry& entry)
{
    form.List1.insertItem(i, entry.name, entry.nameBytes);
    form.List2.insertItem(i, entry.folder, entry.folderBytes);
}

void removeEntry(fmenu& form, int i)
{
    form.List1.removeItem(i);
    form.List2.removeItem(i);
}

void moveEntry(fmenu& form, int from, int to)
{
    const SelectionEntry entry = entryAt(form, from);
    removeEntry(form, from);
    insertEntry(form, to, entry);
}

void clearEntries(fmenu& form)
{
    form.List1.clear();
    form.List2.clear();
}

}  // namespace quibex
