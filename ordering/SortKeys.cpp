// SPDX-License-Identifier: GPL-3.0-or-later
#include "ordering/SortKeys.h"

namespace quibex::sortkeys {

namespace {

QString padded(int number)
{
    return QStringLiteral("%1").arg(number, NumberWidth, 10, QLatin1Char('0'));
}

int trailingNumber(QStringView key)
{
    if (key.size() < NumberWidth)
        return -1;
    bool ok = false;
    const int number = key.right(NumberWidth).toInt(&ok);
    return ok ? number : -1;
}

}  // namespace

QString plainKey(const QString& name, int position)
{
    const QString lower = name.toLower();
    QString key;
    key.reserve(lower.size() + PlainSeparatorWidth + NumberWidth);
    key += lower;
    key += QString(PlainSeparatorWidth, QLatin1Char('\t'));
    key += padded(position);
    return key;
}

int plainKeyPosition(QStringView key)
{
    return trailingNumber(key);
}

QString plainKeyName(const QString& key)
{
    return key.left(qMax<qsizetype>(0, key.size() - PlainSeparatorWidth - NumberWidth));
}

QString extensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

int splitPosition(QStringView base)
{
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (base[i].unicode() < u'A')
            return int(i) + 1;
    }
    return 1;
}

QString advancedKey(QStringView base, int width, int k)
{
    const qsizetype kept = splitPosition(base) - 1;
    const qsizetype spaces = qMax<qsizetype>(0, width - base.size());
    QString key;
    key.reserve(width + NumberWidth);
    key += base.left(kept);
    key += QString(spaces, QLatin1Char(' '));
    key += base.mid(kept);
    key += padded(k);
    return key;
}

int advancedKeyRecord(QStringView key)
{
    return trailingNumber(key);
}

}  // namespace quibex::sortkeys
