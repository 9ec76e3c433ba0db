#include "join/ProgressText.h"

namespace quibex {

QString progressText(int64_t a, int64_t b)
{
    constexpr int64_t barLength = 140;
    // Both values are truncated, not rounded: the first of 200 files shows
    // "0% " and no bar at all.
    const QString percent = QString::number(100 * a / b);
    const qsizetype bar = qsizetype(barLength * a / b);
    // Built in place: a join of thousands of small files makes several of
    // these per file.
    QString text;
    text.reserve(percent.size() + 2 + bar);
    text.append(percent).append(QLatin1String("% ")).append(QString(bar, QChar(0x7F)));
    return text;
}

}  // namespace quibex
