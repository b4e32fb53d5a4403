// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop is asked to open.
#include "report/page_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class PageOpenerTest : public QObject
{
    Q_OBJECT

public:
    // Stands in for the desktop, which would start a browser.
    Q_INVOKABLE void openFileUrl(const QUrl& url) { m_urls << url; }

private Q_SLOTS:
    void init()
    {
        m_urls.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFileUrl");
    }

    void cleanup() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void desktopGetsAFullFileUrl_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("file");

        const QString current = QDir::currentPath();
        QTest::newRow("folder of the program") << "/opt/tevrinquiz/Results.htm"
                                               << "/opt/tevrinquiz/Results.htm";
        QTest::newRow("bare name is in the current folder") << "Results.htm" << current + "/Results.htm";
        QTest::newRow("characters a web address would read otherwise") << "/home/player/Quiz #2 100%/Results.htm"
                                                                       << "/home/player/Quiz #2 100%/Results.htm";
    }

    void desktopGetsAFullFileUrl()
    {
        QFETCH(QString, page);
        QFETCH(QString, file);

        desktopPageOpener()(page);

        QCOMPARE(m_urls.size(), 1);
        QVERIFY(m_urls[0].isLocalFile());
        QCOMPARE(m_urls[0].toLocalFile(), file);
    }

private:
    QList<QUrl> m_urls;
};

QTEST_GUILESS_MAIN(PageOpenerTest)
#include "page_opener_test.moc"
