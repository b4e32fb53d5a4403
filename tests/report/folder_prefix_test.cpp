// SPDX-License-Identifier: GPL-3.0-or-later
// The program's folder as a prefix for the page and its logo, and the roots that give none.
#include "report/folder_prefix.h"

#include <QTest>

Q_DECLARE_METATYPE(PathStyle)

class FolderPrefixTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void prefix_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<PathStyle>("style");
        QTest::addColumn<QString>("prefix");

        const auto win = PathStyle::Windows;
        QTest::newRow("windows folder as Qt gives it") << "C:/Games/Tevrin Quiz" << win << "C:\\Games\\Tevrin Quiz\\";
        QTest::newRow("windows folder written natively") << "D:\\Quiz" << win << "D:\\Quiz\\";
        QTest::newRow("windows folder of one letter") << "C:/A" << win << "C:\\A\\";
        QTest::newRow("windows drive root") << "C:/" << win << "";
        QTest::newRow("windows drive root written natively") << "E:\\" << win << "";
        QTest::newRow("windows network share") << "//server/share" << win << "\\\\server\\share\\";
        QTest::newRow("windows trailing separator") << "D:\\Quiz\\" << win << "D:\\Quiz\\";

        const auto posix = PathStyle::Unix;
        QTest::newRow("unix folder") << "/opt/tevrinquiz" << posix << "/opt/tevrinquiz/";
        QTest::newRow("unix root") << "/" << posix << "";
        QTest::newRow("unix folder of one letter") << "/a" << posix << "/a/";
        QTest::newRow("unix folder of three characters") << "/ab" << posix << "/ab/";
        QTest::newRow("unix trailing separator") << "/usr/games/" << posix << "/usr/games/";

        QTest::newRow("no folder at all") << "" << posix << "";
    }

    void prefix()
    {
        QFETCH(QString, folder);
        QFETCH(PathStyle, style);
        QFETCH(QString, prefix);

        QCOMPARE(folderPrefix(folder, style), prefix);
    }
};

QTEST_GUILESS_MAIN(FolderPrefixTest)
#include "folder_prefix_test.moc"
