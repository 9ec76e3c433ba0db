// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/SortOrder.h"

#include <QLocale>

#include <memory>

namespace quibex {

int SortOrder::Key::compare(const Key& other) const
{
    if (collated && other.collated)
        return collated->compare(*other.collated);
    return folded.compare(other.folded, Qt::CaseSensitive);
}

SortOrder::SortOrder(const QLocale& locale) : collator(locale), name(locale.name())
{
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    // In the C locale Qt compares code points; its sort keys there keep
    // letter case, so keys are made from the case-folded text instead.
    plainLocale = locale.language() == QLocale::C;
}

const SortOrder& SortOrder::current()
{
    // One program has one locale; tests switch it with QLocale::setDefault,
    // so the cached order is rebuilt when the default locale's name changes.
    static std::unique_ptr<SortOrder> cached;
    const QLocale locale;
    if (!cached || cached->name != locale.name())
        cached = std::make_unique<SortOrder>(locale);
    return *cached;
}

SortOrder::Key SortOrder::key(const QString& text) const
{
    Key k;
    if (plainLocale)
        k.folded = text.toCaseFolded();
    else
        k.collated.emplace(collator.sortKey(text));
    return k;
}

int SortOrder::compare(const QString& a, const QString& b) const
{
    return key(a).compare(key(b));
}

}  // namespace quibex
