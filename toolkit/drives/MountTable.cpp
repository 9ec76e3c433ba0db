// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/drives/MountTable.h"

#include <QFile>

namespace quibex {

QByteArray unescapeMountField(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto octal = [&](qsizetype at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            bytes += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3)
                          | (field[i + 3] - '0'));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

std::vector<MountEntry> readMountTable()
{
    // Each line: id, parent id, device number, root within the file system,
    // mount point, options, optional fields up to a lone "-", type, source,
    // options of the file system.
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    std::vector<MountEntry> mounts;
    if (!table.open(QIODevice::ReadOnly))
        return mounts;
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-", 6);
        if (fields.size() < 5 || dash < 0 || dash + 2 >= fields.size())
            continue;
        mounts.push_back({unescapeMountField(fields[4]), unescapeMountField(fields[dash + 1]),
                          unescapeMountField(fields[dash + 2])});
    }
    return mounts;
}

}  // namespace quibex
