// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace quibex::sortkeys {

// The keys that the two sorts hand to their sorted scratch lists. Each key
// ends with a 10-digit number (a former position, or a record number) and is
// taken apart from its end, so whatever the name holds cannot disturb it.

inline constexpr int NumberWidth = 10;
inline constexpr int PlainSeparatorWidth = 60;

// "Tri normal": the lower-cased name, 60 tabs, the former position. The tabs
// make a name that begins a longer one sort first ("data" before "data1",
// "a" before "a b"), since a tab sorts before anything a file name holds.
QString plainKey(const QString& name, int position);
int plainKeyPosition(QStringView key);
QString plainKeyName(const QString& key);

// "Tri évolué": the extension is the text from the last "." to the end, the
// dot included; empty when the name holds no dot.
QString extensionOf(const QString& name);

// 1-based position of the first character of the base name whose code is
// below that of "A" (digits, space, punctuation up to "@"); 1 when there is none.
int splitPosition(QStringView base);

// The base name with (width - its length) spaces inserted at its split
// position, then the record number k: base names line up on their right end,
// so a shorter trailing number gets more leading spaces and sorts first.
QString advancedKey(QStringView base, int width, int k);
int advancedKeyRecord(QStringView key);

}  // namespace quibex::sortkeys
