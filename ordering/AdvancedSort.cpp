// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "ordering/Ordering.h"
#include "ordering/SortKeys.h"
#include "selection/Selection.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace quibex {

namespace {

// One entry of the group being ordered, numbered from 1 in selection order.
struct Record {
    QString name;
    QByteArray nameData;
    QString folder;
    QByteArray folderData;
    int baseLength = 0;
};

}  // namespace

// "Tri évolué": the entries gathered by extension, the groups in the order of
// the sorted list List5 (no extension first), and inside each group the base
// names aligned on their right end by spaces inserted at their first digit,
// space or punctuation mark, so that scan9 comes before scan10. The sorted
// lists List5 and List3 do all the ordering; List4 and List6 collect names
// and folders in their final order. Names and their on-disk bytes are not
// changed. The name proposal runs at the end, on the new first entry.
//
// Which entries bear which extension is worked out once, in one pass over the
// selection: looking each extension up among those already met, and reading
// the whole selection again for every extension, would cost time in the
// square of the selection's size and change nothing in the result.
void Command7_Click(fmenu& form)
{
    form.List3.clear();
    form.List4.clear();
    form.List5.clear();

    // Extensions are told apart exactly, letter case included: .TXT and .txt
    // make two groups. List5 finds them equal, and since it puts an item after
    // the equal ones already there, the two groups come next to each other in
    // the order the selection first shows them.
    const int entries = form.List1.count();
    QHash<QString, std::vector<int>> members;
    for (int i = 0; i < entries; ++i) {
        const QString extension = sortkeys::extensionOf(form.List1.item(i));
        auto found = members.find(extension);
        if (found == members.end()) {
            form.List5.addItem(extension);
            members.insert(extension, {i});
        } else {
            found->push_back(i);
        }
    }

    form.List4.clear();
    form.List6.clear();

    const int groups = form.List5.count();
    for (int g = 0; g < groups; ++g) {
        const QString extension = form.List5.item(g);
        const auto found = members.constFind(extension);
        if (found == members.cend())
            continue;
        const std::vector<int>& group = *found;

        std::vector<Record> records;
        records.reserve(group.size());
        int width = 0;
        for (int i : group) {
            Record record{form.List1.item(i), form.List1.itemData(i),
                          form.List2.item(i), form.List2.itemData(i), 0};
            record.baseLength = int(record.name.size() - extension.size());
            width = std::max(width, record.baseLength);
            records.push_back(std::move(record));
        }

        form.List3.clear();
        for (size_t r = 0; r < records.size(); ++r) {
            const QStringView base = QStringView(records[r].name).left(records[r].baseLength);
            form.List3.addItem(sortkeys::advancedKey(base, width, int(r) + 1));
        }

        const int keys = form.List3.count();
        for (int j = 0; j < keys; ++j) {
            const int k = sortkeys::advancedKeyRecord(form.List3.item(j));
            const Record& record = records[size_t(k - 1)];
            form.List4.addItem(record.name, record.nameData);
            form.List6.addItem(record.folder, record.folderData);
        }
    }

    form.List1.clear();
    form.List2.clear();
    const int ordered = form.List4.count();
    for (int j = 0; j < ordered; ++j) {
        form.List1.addItem(form.List4.item(j), form.List4.itemData(j));
        form.List2.addItem(form.List6.item(j), form.List6.itemData(j));
    }

    ProposerNom(form);
}

}  // namespace quibex
