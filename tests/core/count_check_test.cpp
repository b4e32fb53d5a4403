// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/count_check.h"

#include <QLocale>
#include <QTest>
#include <clocale>

class CountCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row is one class of input: texts, split at "|", that all give the same count; 0: refused.
    void verdict_data()
    {
        QTest::addColumn<QString>("texts");
        QTest::addColumn<int>("count");
        QTest::newRow("the box's own 30") << u"30"_qs << 30;
        QTest::newRow("lowest, written every way a number may be")
            << u"2|+2| 2|2  |002|2.|2.000|2.4999|.2e1|20E-1|0.02e+2"_qs << 2;
        QTest::newRow("highest") << u"140|140.0|1.4e2|139.5"_qs << 140;
        QTest::newRow("below the range") << u"1|0|-2|-5|1.5|1.99|.9|1e-999"_qs << 0;
        QTest::newRow("above the range") << u"141|140.4|140.5|1e3|1e999"_qs << 0;
        QTest::newRow("2.5 halves to even") << u"2.5|25e-1"_qs << 2;
        QTest::newRow("3.5 halves to even") << u"3.5|4.5|0.35E1"_qs << 4;
        QTest::newRow("above a half rounds up") << u"2.51"_qs << 3;
        QTest::newRow("exponent") << u"1e2|1E2|1e+2|1000e-1| 1e2 "_qs << 100;
        QTest::newRow("not a number") << u"| |abc|a|E|-|+-3|--3|.|2..5|5-|e2|2e|2e+|.e2|1 2|2 e1|10%|inf|nan"_qs << 0;
        QTest::newRow("separators") << u"1,00|1,20|9,5|2,5|1 20|10,"_qs << 0;
        QTest::newRow("other notations") << u"$10|10$|&H10|&Ha|&O12|0x10"_qs << 0;
        QTest::newRow("beyond ASCII") << u"\u0661\u0662|\uFF12\uFF15|\u00A025|25\u3000|2\u00E9|\u00B2\u00B2"_qs << 0;
    }

    // Under a German locale for Qt and, where the system has it, for the C library, whose decimal
    // comma and thousands point must change nothing.
    void verdict()
    {
        QFETCH(QString, texts);
        QFETCH(int, count);
        for (const bool german : {true, false}) {
            QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
            std::setlocale(LC_NUMERIC, german ? "de_DE.UTF-8" : "C");
            for (const QString& text : texts.split(u'|'))
                QCOMPARE(std::tuple(text, QLocale().name(), CountCheck::CountIsValid(text),
                                    int(CountCheck::ToCount(text).value_or(0))),
                         std::tuple(text, QLocale().name(), count != 0, count));
        }
    }
};

QTEST_GUILESS_MAIN(CountCheckTest)
#include "count_check_test.moc"
