// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/ProgressText.h"

#include <algorithm>

namespace quibex {

QString progressText(int64_t a, int64_t b)
{
    constexpr int64_t barLength = 140;
    // Both values are truncated, not rounded: the first of 200 files shows
    // "0% " and no bar at all.
    const int percent = int(100 * a / b);
    const qsizetype bar = qsizetype(barLength * a / b);
    const qsizetype digits = percent >= 100 ? 3 : percent >= 10 ? 2 : 1;
    // Written in place, in one allocation: a join of thousands of small
    // files makes several of these per file.
    QString text(digits + 2 + bar, Qt::Uninitialized);
    QChar* out = text.data();
    for (int rest = percent, i = int(digits) - 1; i >= 0; --i, rest /= 10)
        out[i] = QChar(u'0' + rest % 10);
    out[digits] = QLatin1Char('%');
    out[digits + 1] = QLatin1Char(' ');
    std::fill(out + digits + 2, out + text.size(), QChar(0x7F));
    return text;
}

}  // namespace quibex
