// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/count_check.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <string>

class CountCheckTest : public QObject
{
    Q_OBJECT

    std::string m_savedNumericLocale = std::setlocale(LC_NUMERIC, nullptr);

private Q_SLOTS:
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, m_savedNumericLocale.c_str());
    }

    // count -1: the text is refused; numeric: it reads as a number, in range or not. Every text is read
    // again under German locales for Qt and for the C library, whose decimal comma must change nothing.
    void verdict_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<int>("count");
        const auto add = [](const char* name, const QString& text, bool numeric, int count) {
            for (const char* locale : {"", "QLocale", "C"})
                QTest::addRow("%s%s%s", name, *locale ? ", German " : "", locale)
                    << QString::fromLatin1(locale) << text << numeric << count;
        };
        add("the box's own 30", u"30"_qs, true, 30);
        add("lowest 2", u"2"_qs, true, 2);
        add("highest 140", u"140"_qs, true, 140);
        add("leading zeros", u"002"_qs, true, 2);
        add("1 too few", u"1"_qs, true, -1);
        add("0", u"0"_qs, true, -1);
        add("-5", u"-5"_qs, true, -1);
        add("-2", u"-2"_qs, true, -1);
        add("141 too many", u"141"_qs, true, -1);
        add("empty", QString(), false, -1);
        add("letters", u"abc"_qs, false, -1);
        add("blank before", u" 25"_qs, true, 25);
        add("blank after", u"25 "_qs, true, 25);
        add("blanks only", u"  "_qs, false, -1);
        add("blank inside", u"1 2"_qs, false, -1);
        add("plus sign", u"+10"_qs, true, 10);
        add("sign alone", u"-"_qs, false, -1);
        add("two signs", u"+-3"_qs, false, -1);
        add("point alone", u"."_qs, false, -1);
        add("trailing point", u"2."_qs, true, 2);
        add("leading point", u".9e1"_qs, true, 9);
        add("1.5 below the range", u"1.5"_qs, true, -1);
        add("1.99 below the range", u"1.99"_qs, true, -1);
        add("2.5 halves to 2", u"2.5"_qs, true, 2);
        add("3.5 halves to 4", u"3.5"_qs, true, 4);
        add("4.5 halves to 4", u"4.5"_qs, true, 4);
        add("5.5 halves to 6", u"5.5"_qs, true, 6);
        add("138.5 halves to 138", u"138.5"_qs, true, 138);
        add("139.5 halves to 140", u"139.5"_qs, true, 140);
        add("2.4999 rounds down", u"2.4999"_qs, true, 2);
        add("2.51 rounds up", u"2.51"_qs, true, 3);
        add("140.4 past the range", u"140.4"_qs, true, -1);
        add("exponent", u"1e2"_qs, true, 100);
        add("capital exponent", u"2E1"_qs, true, 20);
        add("signed exponent", u"2e+1"_qs, true, 20);
        add("negative exponent", u"20e-1"_qs, true, 2);
        add("exponent past the range", u"1e3"_qs, true, -1);
        add("exponent below the range", u"1e-1"_qs, true, -1);
        add("exponent with no digits", u".5e"_qs, false, -1);
        add("exponent alone", u"e2"_qs, false, -1);
        add("overflowing exponent", u"1e999"_qs, false, -1);
        add("comma", u"1,5"_qs, false, -1);
        add("decimal comma in range", u"9,5"_qs, false, -1);
        add("thousands comma", u"1,00"_qs, false, -1);
        add("currency", u"$10"_qs, false, -1);
        add("hex prefix &H", u"&H1"_qs, false, -1);
        add("hex prefix 0x", u"0x2"_qs, false, -1);
        add("percent", u"10%"_qs, false, -1);
        add("trailing sign", u"5-"_qs, false, -1);
        add("infinity", u"inf"_qs, false, -1);
        add("not a number", u"nan"_qs, false, -1);
        add("Arabic-Indic digits", u"\u0661\u0662"_qs, false, -1);
        add("fullwidth digits", u"\uFF12\uFF15"_qs, false, -1);
        add("non-breaking blank", u"\u00A025"_qs, false, -1);
    }

    void verdict()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(int, count);

        if (locale == u"QLocale") {
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
            QCOMPARE(QLocale().decimalPoint(), u","_qs);
        } else if (locale == u"C" && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
            QSKIP("the C library has no de_DE.UTF-8 locale installed");
        }
        QCOMPARE(CountCheck::IsNumeric(text), numeric);
        QCOMPARE(CountCheck::CountIsValid(text), count != -1);
        QCOMPARE(CountCheck::ToCount(text), count == -1 ? std::nullopt : std::optional<qint16>(count));
    }
};

QTEST_GUILESS_MAIN(CountCheckTest)
#include "count_check_test.moc"
