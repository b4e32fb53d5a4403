// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the page and its logo whole or not at all, the fallback folder, and finding the last page.
#include "report/results_store.h"

#include "report_test_support.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReportTest;

Q_DECLARE_METATYPE(FileWriter)

namespace {

const QByteArray OldPage = "<html>the page of the last quiz</html>\r\n";
const QByteArray OldLogo = "GIF89a the logo written last time";
const QByteArray NewPage = "<html>a new page, long enough to be cut in half</html>\r\n";

// Lets half of the file `name` through, then fails the way a full disk does.
DeviceWrite failMidway(const QString& name, bool reportsError)
{
    return [name, reportsError](QSaveFile& file, const QByteArray& bytes) -> qint64 {
        if (QFileInfo(file.fileName()).fileName() != name)
            return file.write(bytes);
        const qint64 half = file.write(bytes.left(bytes.size() / 2));
        return reportsError ? -1 : half;
    };
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

bool setAge(const QString& path, int seconds)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

} // namespace

class ResultsStoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_program = m_dir->filePath(QStringLiteral("program"));
        m_user = m_dir->filePath(QStringLiteral("data/TevrinQuiz"));
        QVERIFY(QDir().mkpath(m_program));
        m_startFolder = QDir::currentPath();
    }

    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
        m_dir.reset();
    }

    void failedWriteKeepsEarlierFiles_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("reportsError");

        QTest::newRow("logo fails with an error") << "logo.f" << true;
        QTest::newRow("logo cut short") << "logo.f" << false;
        QTest::newRow("page fails with an error") << "Results.htm" << true;
        QTest::newRow("page cut short") << "Results.htm" << false;
    }

    void failedWriteKeepsEarlierFiles()
    {
        QFETCH(QString, failing);
        QFETCH(bool, reportsError);
        QVERIFY(writeFile(m_program + "/Results.htm", OldPage));
        QVERIFY(writeFile(m_program + "/logo.f", OldLogo));

        const ResultsStore store(m_program, m_user, safeFileWriter(failMidway(failing, reportsError)));
        const WriteOutcome outcome = store.writeFiles(TinyGif, NewPage);

        QVERIFY(!outcome.ok);
        QVERIFY(outcome.pagePath.isEmpty());
        QCOMPARE(outcome.failedPath, m_user + "/" + failing);
        QVERIFY(!outcome.reason.isEmpty());
        // Each file is the old one or the new one, whole; no half file and no temporary file is left.
        QCOMPARE(readFile(m_program + "/Results.htm"), OldPage);
        QCOMPARE(readFile(m_program + "/logo.f"), failing == "logo.f" ? OldLogo : TinyGif);
        QCOMPARE(filesIn(m_program), QStringList({"Results.htm", "logo.f"}));
        QCOMPARE(filesIn(m_user), failing == "logo.f" ? QStringList() : QStringList({"logo.f"}));
        QCOMPARE(store.previousPage(), m_program + "/Results.htm");
    }

    void unwritableProgramFolderUsesUserFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("refuseProgramFolder");
        QTest::addColumn<QString>("folderNamedLikePage");

        QTest::newRow("folder refuses writing") << "program" << true << "";
        QTest::newRow("folder lies under a plain file") << "plain/program" << false << "";
        QTest::newRow("page name taken by a folder") << "program" << false << "program/Results.htm";
    }

    void unwritableProgramFolderUsesUserFolder()
    {
        QFETCH(QString, program);
        QFETCH(bool, refuseProgramFolder);
        QFETCH(QString, folderNamedLikePage);
        QVERIFY(writeFile(m_dir->filePath("plain"), "not a folder"));
        if (!folderNamedLikePage.isEmpty())
            QVERIFY(QDir().mkpath(m_dir->filePath(folderNamedLikePage)));
        const QString programFolder = m_dir->filePath(program);
        const FileWriter writer = [programFolder, refuseProgramFolder](const QString& path, const QByteArray& bytes) {
            if (refuseProgramFolder && path.startsWith(programFolder + "/"))
                return WriteResult{false, QStringLiteral("Permission denied")};
            return writeFileSafely(path, bytes);
        };
        const ResultsStore store(programFolder, m_user, writer);

        const WriteOutcome outcome = store.writeFiles(TinyGif, NewPage);

        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QCOMPARE(outcome.pagePath, m_user + "/Results.htm");
        QCOMPARE(readFile(m_user + "/Results.htm"), NewPage);
        QCOMPARE(readFile(m_user + "/logo.f"), TinyGif);
        QVERIFY(outcome.message().isEmpty());
        QCOMPARE(store.previousPage(), outcome.pagePath);
    }

    void nothingWritableGivesMessage_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("user");
        QTest::addColumn<FileWriter>("writer");
        QTest::addColumn<QString>("reason");

        const FileWriter diskFull = [](const QString&, const QByteArray&) {
            return WriteResult{false, QStringLiteral("No space left on device")};
        };
        QTest::newRow("both folders lie under a plain file") << "plain/program"
                                                             << "plain/TevrinQuiz" << safeFileWriter() << QString();
        QTest::newRow("disk full") << "program"
                                   << "data/TevrinQuiz" << diskFull << "No space left on device";
    }

    void nothingWritableGivesMessage()
    {
        QFETCH(QString, program);
        QFETCH(QString, user);
        QFETCH(FileWriter, writer);
        QFETCH(QString, reason);
        QVERIFY(writeFile(m_dir->filePath("plain"), "not a folder"));
        const ResultsStore store(m_dir->filePath(program), m_dir->filePath(user), writer);

        const WriteOutcome outcome = store.writeFiles(TinyGif, NewPage);

        QVERIFY(!outcome.ok);
        QVERIFY(outcome.pagePath.isEmpty());
        const QStringList lines = outcome.message().split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], "Could not save the results page");
        QCOMPARE(lines[1], QDir::toNativeSeparators(m_dir->filePath(user) + "/logo.f"));
        if (reason.isEmpty())
            QVERIFY(!lines[2].isEmpty());
        else
            QCOMPARE(lines[2], reason);
        QVERIFY(store.previousPage().isEmpty());
    }

    void existingFilesAreReplaced()
    {
        QVERIFY(writeFile(m_program + "/Results.htm", QByteArray(10000, 'x')));
        QVERIFY(writeFile(m_program + "/logo.f", QByteArray(5000, 'y')));

        const WriteOutcome outcome = ResultsStore(m_program, m_user).writeFiles(TinyGif, NewPage);

        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QCOMPARE(outcome.pagePath, m_program + "/Results.htm");
        QCOMPARE(readFile(m_program + "/Results.htm"), NewPage);
        QCOMPARE(readFile(m_program + "/logo.f"), TinyGif);
        QCOMPARE(filesIn(m_program), QStringList({"Results.htm", "logo.f"}));
        QVERIFY(!QFileInfo::exists(m_user));
    }

    void rootProgramFolderUsesCurrentFolder()
    {
        const QString current = m_dir->filePath("current");
        QVERIFY(QDir().mkpath(current));
        QVERIFY(QDir::setCurrent(current));
        const ResultsStore store(QDir::rootPath(), m_user);

        const WriteOutcome outcome = store.writeFiles(TinyGif, NewPage);

        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QCOMPARE(outcome.pagePath, "Results.htm");
        QCOMPARE(readFile(current + "/Results.htm"), NewPage);
        QCOMPARE(readFile(current + "/logo.f"), TinyGif);
        QCOMPARE(store.previousPage(), "Results.htm");
    }

    void previousPageIsTheNewer_data()
    {
        QTest::addColumn<int>("programAge"); // seconds; -1 when there is no page
        QTest::addColumn<int>("userAge");
        QTest::addColumn<QString>("newer");

        QTest::newRow("no quiz finished yet") << -1 << -1 << "";
        QTest::newRow("program folder only") << 60 << -1 << "program";
        QTest::newRow("data folder only") << -1 << 60 << "user";
        QTest::newRow("program folder newer") << 60 << 3600 << "program";
        QTest::newRow("data folder newer") << 3600 << 60 << "user";
    }

    void previousPageIsTheNewer()
    {
        QFETCH(int, programAge);
        QFETCH(int, userAge);
        QFETCH(QString, newer);
        QVERIFY(QDir().mkpath(m_user));
        const QString programPage = m_program + "/Results.htm";
        const QString userPage = m_user + "/Results.htm";
        if (programAge >= 0)
            QVERIFY(writeFile(programPage, OldPage) && setAge(programPage, programAge));
        if (userAge >= 0)
            QVERIFY(writeFile(userPage, OldPage) && setAge(userPage, userAge));

        const QString want = newer == "program" ? programPage : newer == "user" ? userPage : QString();
        QCOMPARE(ResultsStore(m_program, m_user).previousPage(), want);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    QString m_user;
    QString m_startFolder;
};

QTEST_GUILESS_MAIN(ResultsStoreTest)
#include "results_store_test.moc"
