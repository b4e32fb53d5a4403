// SPDX-License-Identifier: GPL-3.0-or-later
// The page's bytes in the code page a Windows player's browser assumes, the folder prefix of the
// page and its logo, and what the desktop is asked to open.
#include "report/folder_prefix.h"
#include "report/page_encoding.h"
#include "report/page_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QTest>
#include <QUrl>

Q_DECLARE_METATYPE(PathStyle)

class PagePartsTest : public QObject
{
    Q_OBJECT

    QList<QUrl> m_urls;

public:
    // Stands in for the desktop, which would start a browser.
    Q_INVOKABLE void openFileUrl(const QUrl& url) { m_urls << url; }

private Q_SLOTS:
    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("ascii") << u"Who built the ark?"_qs << QByteArray("Who built the ark?");
        QTest::newRow("ellipsis") << u"beginning\u2026"_qs << QByteArray("beginning\x85");
        QTest::newRow("latin-1 letters") << u"Caf\u00e9 \u00c6\u00ff"_qs << QByteArray("Caf\xe9 \xc6\xff");
        QTest::newRow("no-break space") << u"a\u00a0b"_qs << QByteArray::fromHex("61a062");
        QTest::newRow("euro, quotes and dashes")
            << u"\u20ac\u2018\u2019\u201c\u201d\u2013\u2014"_qs << QByteArray::fromHex("80919293949697");
        QTest::newRow("last of the table") << u"\u0178\u017e"_qs << QByteArray("\x9f\x9e");
        QTest::newRow("hole kept as its control")
            << u"\u0081\u008d\u008f\u0090\u009d"_qs << QByteArray::fromHex("818d8f909d");
        QTest::newRow("control the table moved away") << u"\u0085\u0080"_qs << QByteArray("??");
        QTest::newRow("latin extended") << u"\u0101"_qs << QByteArray("?");
        QTest::newRow("hebrew") << u"\u05e9\u05dc\u05d5\u05dd"_qs << QByteArray("????");
        QTest::newRow("outside the basic plane is one character") << u"a\U0001F54Ab"_qs << QByteArray("a?b");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'x' << QByteArray("?x");
        QTest::newRow("empty") << QString() << QByteArray();
    }

    void windows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeWindows1252(text), bytes);
    }

    // At the root of a drive or file system the files go by their bare names.
    void folderPrefix_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<PathStyle>("style");
        QTest::addColumn<QString>("prefix");

        const auto win = PathStyle::Windows;
        const auto posix = PathStyle::Unix;
        QTest::newRow("windows folder as Qt gives it") << "C:/Games/Tevrin Quiz" << win << "C:\\Games\\Tevrin Quiz\\";
        QTest::newRow("windows folder written natively") << "D:\\Quiz" << win << "D:\\Quiz\\";
        QTest::newRow("windows folder of one letter") << "C:/A" << win << "C:\\A\\";
        QTest::newRow("windows drive root") << "C:/" << win << "";
        QTest::newRow("windows drive root written natively") << "E:\\" << win << "";
        QTest::newRow("windows network share") << "//server/share" << win << "\\\\server\\share\\";
        QTest::newRow("windows trailing separator") << "D:\\Quiz\\" << win << "D:\\Quiz\\";
        QTest::newRow("unix folder") << "/opt/tevrinquiz" << posix << "/opt/tevrinquiz/";
        QTest::newRow("unix root") << "/" << posix << "";
        QTest::newRow("unix folder of one letter") << "/a" << posix << "/a/";
        QTest::newRow("unix folder of three characters") << "/ab" << posix << "/ab/";
        QTest::newRow("unix trailing separator") << "/usr/games/" << posix << "/usr/games/";
        QTest::newRow("no folder at all") << "" << posix << "";
    }

    void folderPrefix()
    {
        QFETCH(QString, folder);
        QFETCH(PathStyle, style);
        QFETCH(QString, prefix);
        QCOMPARE(::folderPrefix(folder, style), prefix);
    }

    void desktopGetsAFullFileUrl_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("file");

        const QString page = QStringLiteral("/home/player/Quiz #2 100%/Results.htm");
        QTest::newRow("folder of the program") << page << page;
        QTest::newRow("bare name is in the current folder") << "Results.htm" << QDir::currentPath() + "/Results.htm";
    }

    void desktopGetsAFullFileUrl()
    {
        QFETCH(QString, page);
        QFETCH(QString, file);
        m_urls.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFileUrl");
        desktopPageOpener()(page);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(m_urls.size(), 1);
        QVERIFY(m_urls[0].isLocalFile());
        QCOMPARE(m_urls[0].toLocalFile(), file);
    }
};

QTEST_GUILESS_MAIN(PagePartsTest)
#include "page_parts_test.moc"
