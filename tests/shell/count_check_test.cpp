// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/count_check.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <string>

class CountCheckTest : public QObject
{
    Q_OBJECT

private:
    static void addCases();
    static void addLocaleCases();
    static void checkVerdict();

    std::string m_savedNumericLocale;

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void verdict_data() { addCases(); }
    void verdict() { checkVerdict(); }

    void verdictUnderGermanQLocale_data();
    void verdictUnderGermanQLocale();
    void verdictUnderGermanCLocale_data();
    void verdictUnderGermanCLocale();
};

// count -1: the text is refused. numeric: whether it reads as a number at all, in or out of range.
void CountCheckTest::addCases()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<int>("count");

    QTest::newRow("the box's own 30") << u"30"_qs << true << 30;
    QTest::newRow("lowest 2") << u"2"_qs << true << 2;
    QTest::newRow("highest 140") << u"140"_qs << true << 140;
    QTest::newRow("leading zeros") << u"002"_qs << true << 2;
    QTest::newRow("1 too few") << u"1"_qs << true << -1;
    QTest::newRow("0") << u"0"_qs << true << -1;
    QTest::newRow("-5") << u"-5"_qs << true << -1;
    QTest::newRow("-2") << u"-2"_qs << true << -1;
    QTest::newRow("141 too many") << u"141"_qs << true << -1;
    QTest::newRow("empty") << QString() << false << -1;
    QTest::newRow("letters") << u"abc"_qs << false << -1;
    QTest::newRow("blank before") << u" 25"_qs << true << 25;
    QTest::newRow("blank after") << u"25 "_qs << true << 25;
    QTest::newRow("blanks only") << u"  "_qs << false << -1;
    QTest::newRow("blank inside") << u"1 2"_qs << false << -1;
    QTest::newRow("plus sign") << u"+10"_qs << true << 10;
    QTest::newRow("sign alone") << u"-"_qs << false << -1;
    QTest::newRow("two signs") << u"+-3"_qs << false << -1;
    QTest::newRow("point alone") << u"."_qs << false << -1;
    QTest::newRow("trailing point") << u"2."_qs << true << 2;
    QTest::newRow("leading point") << u".9e1"_qs << true << 9;

    QTest::newRow("1.5 below the range") << u"1.5"_qs << true << -1;
    QTest::newRow("1.99 below the range") << u"1.99"_qs << true << -1;
    QTest::newRow("2.5 halves to 2") << u"2.5"_qs << true << 2;
    QTest::newRow("3.5 halves to 4") << u"3.5"_qs << true << 4;
    QTest::newRow("4.5 halves to 4") << u"4.5"_qs << true << 4;
    QTest::newRow("5.5 halves to 6") << u"5.5"_qs << true << 6;
    QTest::newRow("138.5 halves to 138") << u"138.5"_qs << true << 138;
    QTest::newRow("139.5 halves to 140") << u"139.5"_qs << true << 140;
    QTest::newRow("2.4999 rounds down") << u"2.4999"_qs << true << 2;
    QTest::newRow("2.51 rounds up") << u"2.51"_qs << true << 3;
    QTest::newRow("140.4 past the range") << u"140.4"_qs << true << -1;

    QTest::newRow("exponent") << u"1e2"_qs << true << 100;
    QTest::newRow("capital exponent") << u"2E1"_qs << true << 20;
    QTest::newRow("signed exponent") << u"2e+1"_qs << true << 20;
    QTest::newRow("negative exponent") << u"20e-1"_qs << true << 2;
    QTest::newRow("exponent past the range") << u"1e3"_qs << true << -1;
    QTest::newRow("exponent below the range") << u"1e-1"_qs << true << -1;
    QTest::newRow("exponent with no digits") << u".5e"_qs << false << -1;
    QTest::newRow("exponent alone") << u"e2"_qs << false << -1;
    QTest::newRow("overflowing exponent") << u"1e999"_qs << false << -1;

    QTest::newRow("comma") << u"1,5"_qs << false << -1;
    QTest::newRow("thousands comma") << u"1,00"_qs << false << -1;
    QTest::newRow("currency") << u"$10"_qs << false << -1;
    QTest::newRow("hex prefix &H") << u"&H1"_qs << false << -1;
    QTest::newRow("hex prefix 0x") << u"0x2"_qs << false << -1;
    QTest::newRow("percent") << u"10%"_qs << false << -1;
    QTest::newRow("trailing sign") << u"5-"_qs << false << -1;
    QTest::newRow("infinity") << u"inf"_qs << false << -1;
    QTest::newRow("not a number") << u"nan"_qs << false << -1;
    QTest::newRow("Arabic-Indic digits") << u"\u0661\u0662"_qs << false << -1;
    QTest::newRow("fullwidth digits") << u"\uFF12\uFF15"_qs << false << -1;
    QTest::newRow("non-breaking blank") << u"\u00A025"_qs << false << -1;
}

// Texts that a parser following the player's locale would read differently.
void CountCheckTest::addLocaleCases()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<int>("count");

    QTest::newRow("30") << u"30"_qs << true << 30;
    QTest::newRow("decimal point") << u"2.5"_qs << true << 2;
    QTest::newRow("decimal point past the range") << u"140.4"_qs << true << -1;
    QTest::newRow("decimal comma") << u"2,5"_qs << false << -1;
    QTest::newRow("decimal comma in range") << u"9,5"_qs << false << -1;
    QTest::newRow("exponent") << u"1e2"_qs << true << 100;
}

void CountCheckTest::checkVerdict()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(int, count);

    QCOMPARE(CountCheck::IsNumeric(text), numeric);
    QCOMPARE(CountCheck::CountIsValid(text), count != -1);
    const std::optional<qint16> converted = CountCheck::ToCount(text);
    QCOMPARE(converted.has_value(), count != -1);
    if (converted)
        QCOMPARE(*converted, count);
}

void CountCheckTest::initTestCase()
{
    m_savedNumericLocale = std::setlocale(LC_NUMERIC, nullptr);
}

void CountCheckTest::cleanup()
{
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, m_savedNumericLocale.c_str());
}

// A locale whose decimal separator is the comma and whose group separator is the point.
void CountCheckTest::verdictUnderGermanQLocale_data()
{
    addLocaleCases();
}

void CountCheckTest::verdictUnderGermanQLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().decimalPoint(), u","_qs);
    checkVerdict();
}

void CountCheckTest::verdictUnderGermanCLocale_data()
{
    addLocaleCases();
}

void CountCheckTest::verdictUnderGermanCLocale()
{
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("the C library has no de_DE.UTF-8 locale installed");
    checkVerdict();
}

QTEST_GUILESS_MAIN(CountCheckTest)
#include "count_check_test.moc"
