// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "ordering/SortKeys.h"
#include "selection/Selection.h"
#include "selection/SelectionEntry.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace quibex {

namespace {

// Positions in the selection of the entries bearing each extension.
using Groups = QHash<QString, std::vector<int>>;

// Which entries bear which extension is worked out once, in one pass over the
// selection: looking each extension up among those already met, and reading
// the whole selection again for every extension, would cost time in the
// square of the selection's size and change nothing in the result.
//
// Extensions are told apart exactly, letter case included: .TXT and .txt
// make two groups. The sorted list finds them equal, and since it puts an
// item after the equal ones already there, the two groups come next to each
// other in the order the selection first shows them.
Groups gatherGroups(const std::vector<SelectionEntry>& entries, ListBox& sortedExtensions)
{
    Groups members;
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString extension = sortkeys::extensionOf(entries[i].name);
        auto found = members.find(extension);
        if (found == members.end()) {
            sortedExtensions.addItem(extension);
            members.insert(extension, {int(i)});
        } else {
            found->push_back(int(i));
        }
    }
    return members;
}

// One group's entries, by the key of their base names, added at the end of
// the ordered pair of lists. The keys are numbered from 1 in selection order;
// the sorted key list keeps them afterwards.
void orderGroup(const std::vector<SelectionEntry>& entries, const std::vector<int>& group,
                qsizetype extensionLength, ListBox& sortedKeys, ListBox& orderedNames,
                ListBox& orderedFolders)
{
    int width = 0;
    for (int i : group)
        width = std::max(width, int(entries[size_t(i)].name.size() - extensionLength));

    sortedKeys.clear();
    for (size_t r = 0; r < group.size(); ++r) {
        const QString& name = entries[size_t(group[r])].name;
        sortedKeys.addItem(sortkeys::advancedKey(
            QStringView(name).left(name.size() - extensionLength), width, int(r) + 1));
    }

    const int keys = sortedKeys.count();
    for (int j = 0; j < keys; ++j) {
        const int r = sortkeys::advancedKeyRecord(sortedKeys.item(j)) - 1;
        addEntryTo(orderedNames, orderedFolders, entries[size_t(group[size_t(r)])]);
    }
}

}  // namespace

// "Tri évolué": the entries gathered by extension, the groups in the order of
// the sorted list of extensions (no extension first), and inside each group
// the base names aligned on their right end by spaces inserted at their first
// digit, space or punctuation mark, so that scan9 comes before scan10. The
// sorted working lists List5 and List3 do all the ordering; List4 and List6
// collect names and folders in their final order, and all four keep what the
// sort left in them. Names and their on-disk bytes are not changed. The name
// proposal runs at the end, on the new first entry.
void Command7_Click(fmenu& form)
{
    ListBox& sortedKeys = form.List3;        // sorted: one group's keys
    ListBox& orderedNames = form.List4;      // the names in their final order
    ListBox& sortedExtensions = form.List5;  // sorted: the extensions, one per group
    ListBox& orderedFolders = form.List6;    // their folders, position for position
    sortedKeys.clear();
    orderedNames.clear();
    sortedExtensions.clear();
    orderedFolders.clear();

    const std::vector<SelectionEntry> entries = allEntries(form);
    const Groups members = gatherGroups(entries, sortedExtensions);

    const int groups = sortedExtensions.count();
    for (int g = 0; g < groups; ++g) {
        const QString extension = sortedExtensions.item(g);
        const auto found = members.constFind(extension);
        if (found != members.cend())
            orderGroup(entries, *found, extension.size(), sortedKeys, orderedNames, orderedFolders);
    }

    clearEntries(form);
    const int ordered = orderedNames.count();
    for (int j = 0; j < ordered; ++j)
        appendEntry(form, entryIn(orderedNames, orderedFolders, j));

    ProposerNom(form);
}

}  // namespace quibex
