// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252 as a Windows player's browser reads the page.
#include "report/page_encoding.h"

#include <QTest>

class PageEncodingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("ascii") << QStringLiteral("Who built the ark?") << QByteArray("Who built the ark?");
        QTest::newRow("ellipsis") << QStringLiteral("beginning\u2026") << QByteArray("beginning\x85");
        QTest::newRow("latin-1 letters") << QStringLiteral("Caf\u00e9 \u00c6\u00ff") << QByteArray("Caf\xe9 \xc6\xff");
        QTest::newRow("no-break space") << QStringLiteral("a\u00a0b")
                                        << QByteArray("a\xa0"
                                                      "b");
        QTest::newRow("euro, quotes and dashes") << QStringLiteral("\u20ac\u2018\u2019\u201c\u201d\u2013\u2014")
                                                 << QByteArray("\x80\x91\x92\x93\x94\x96\x97");
        QTest::newRow("last of the table") << QStringLiteral("\u0178\u017e") << QByteArray("\x9f\x9e");
        QTest::newRow("hole kept as its control")
            << QStringLiteral("\u0081\u008d\u008f\u0090\u009d") << QByteArray("\x81\x8d\x8f\x90\x9d");
        QTest::newRow("control the table moved away") << QStringLiteral("\u0085\u0080") << QByteArray("??");
        QTest::newRow("latin extended") << QStringLiteral("\u0101") << QByteArray("?");
        QTest::newRow("hebrew") << QStringLiteral("\u05e9\u05dc\u05d5\u05dd") << QByteArray("????");
        QTest::newRow("outside the basic plane is one character")
            << QStringLiteral("a\U0001F54Ab") << QByteArray("a?b");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'x' << QByteArray("?x");
        QTest::newRow("empty") << QString() << QByteArray();
    }

    void windows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);

        QCOMPARE(encodeWindows1252(text), bytes);
    }
};

QTEST_GUILESS_MAIN(PageEncodingTest)
#include "page_encoding_test.moc"
