// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QObject>
#include <QString>
#include <QTest>

namespace quibex::test {

// Every sort test runs once per locale: the system's (the C locale on a
// bare machine, where the order compares case-folded code points), French
// and English (where the collator decides).
inline void addLocaleRows()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("system") << QString();
    QTest::newRow("fr_FR") << QStringLiteral("fr_FR");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

inline void applyLocale(const QString& name)
{
    QLocale::setDefault(name.isEmpty() ? QLocale::system() : QLocale(name));
}

// A test class whose every test runs once per locale row.
class EachLocale : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addLocaleRows(); }
    void init()
    {
        QFETCH_GLOBAL(QString, locale);
        applyLocale(locale);
    }
    void cleanupTestCase() { applyLocale({}); }
};

}  // namespace quibex::test
