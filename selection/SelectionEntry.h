// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <vector>

namespace quibex {

struct fmenu;
class ListBox;

// One file of the selection. The names are what the lists show; the bytes
// are the exact on-disk spelling, kept as the lists hold them (empty when
// the text alone was given), so that writing an entry back changes nothing.
struct SelectionEntry {
    QString name;
    QByteArray nameBytes;
    QString folder;
    QByteArray folderBytes;

    // The file's path on disk: the bytes where there are some, else the text.
    QByteArray nativePath() const;
};

// The selection lives in two lists, position for position: List1 the names
// (shown), List2 their folders. Every change below touches List1 first, then
// List2: a view of List1 hears of a change before the folder list has it,
// and the order of those signals is part of how the window behaves.

// Any pair of lists kept like List1 and List2 (the sorts keep such pairs).
SelectionEntry entryIn(const ListBox& names, const ListBox& folders, int i);
void addEntryTo(ListBox& names, ListBox& folders, const SelectionEntry& entry);

int entryCount(const fmenu& form);
SelectionEntry entryAt(const fmenu& form, int i);
std::vector<SelectionEntry> allEntries(const fmenu& form);
// The names chosen so far, with room for more: a command adding many files
// looks each one up here rather than scanning the selection every time.
QSet<QString> entryNames(const fmenu& form, qsizetype more);
void appendEntry(fmenu& form, const SelectionEntry& entry);
void insertEntry(fmenu& form, int i, const SelectionEntry& entry);
void removeEntry(fmenu& form, int i);
// Takes the entry out and puts it back at position to, counted after the removal.
void moveEntry(fmenu& form, int from, int to);
// Both lists emptied at once (one reset each), not entry by entry.
void clearEntries(fmenu& form);

}  // namespace quibex
