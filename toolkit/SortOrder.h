// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <optional>

namespace quibex {

// The order in which a sorted list box keeps its items: whole texts compared
// without regard to letter case, alphabetically in the user's locale. White
// space counts (the tab before the space, both before every other character
// of a file name), digits sort ascending, and the empty text sorts first.
//
// Comparing two texts through the collator is slow compared with comparing
// precomputed keys, and the sorts add tens of thousands of items at a time,
// so callers turn each text into a Key once and compare keys.
class SortOrder {
public:
    class Key {
    public:
        int compare(const Key& other) const;

    private:
        friend class SortOrder;
        std::optional<QCollatorSortKey> collated;
        QString folded;  // used in the C locale, where Qt's keys would keep letter case
    };

    // The order for the current default locale (the system's, unless a test
    // chose another with QLocale::setDefault). The collator is built once per
    // locale because building it costs far more than one comparison.
    static const SortOrder& current();

    explicit SortOrder(const QLocale& locale);

    Key key(const QString& text) const;
    int compare(const QString& a, const QString& b) const;
    QString localeName() const { return name; }

private:
    QCollator collator;
    QString name;
    bool plainLocale = false;
};

}  // namespace quibex
