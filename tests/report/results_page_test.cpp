// SPDX-License-Identifier: GPL-3.0-or-later
// The results page byte for byte against pages written out by hand, and where it is saved: whole or
// not at all, in the program's folder or the player's, and found again as the last page.
#include "report/results_report.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// The contact addresses the expected pages were written with.
const QString Email = QStringLiteral("quiz@example.org");
const QString Web = QStringLiteral("https://www.example.org");

// A complete 1 x 1 GIF; the writer copies the logo's bytes without looking into them.
const QByteArray TinyGif = QByteArray::fromHex("47494638396101000100800000000000ffffff21f90401000000002c00000000"
                                               "010001000002024401003b");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Where two pages part, so that a failure points at the byte instead of printing two whole pages.
QByteArray firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    qsizetype i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    const auto around = [i](const QByteArray& page) {
        return page.mid(qMax<qsizetype>(0, i - 20), 60).toPercentEncoding(" <>=\"/:;#!&");
    };
    return "byte " + QByteArray::number(i) + ": ..." + around(actual) + "\n  instead of ..." + around(expected);
}

// Question, right answer, chosen answer; the answer is right when the two are the same.
using Answers = QList<QStringList>;
const QStringList Exodus{"Who led the people out of Egypt?", "Moses", "Moses"};
const QStringList ExodusWrong{"Who led the people out of Egypt?", "Moses", "Aaron"};
const QStringList David{"Which city is called \"the city of David\"?", "Bethlehem", "Bethlehem"};
const QStringList Torah{"How many books has the Torah?", "Five", "Five"};
const QStringList TorahWrong{"How many books has the Torah?", "Five", "Seven"};
const QStringList ArkWrong{"Who built the ark?", "Noah", "Abraham"};

const QString Expected = QStringLiteral(TEVRIN_SOURCE_DIR "/tests/report/expected/");

const QByteArray OldPage = "<html>the page of the last quiz</html>\r\n";
const QByteArray OldLogo = "GIF89a the logo written last time";
const QByteArray NewPage = "<html>a new page, long enough to be cut in half</html>\r\n";

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

Q_DECLARE_METATYPE(FileWriter)

class ResultsPageTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    QString m_user;
    const QString m_startFolder = QDir::currentPath();

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_program = m_dir->filePath("program");
        m_user = m_dir->filePath("data/TevrinQuiz");
        QVERIFY(m_dir->isValid() && QDir().mkpath(m_program) && QDir().mkpath(m_dir->filePath("current")));
        QVERIFY(writeFile(m_dir->filePath("plain"), "not a folder"));
    }

    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
        m_dir.reset();
    }

    void pageMatchesHandWrittenPage_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("totals"); // right, wrong and chosen, as the screen shows them
        QTest::addColumn<int>("presses");    // of Result

        QTest::newRow("no rows") << "no_rows.htm" << Answers{} << "0 0 2" << 1;
        QTest::newRow("all right") << "all_right.htm" << Answers{Exodus, David, Torah} << "3 0 3" << 1;
        QTest::newRow("all wrong") << "all_wrong.htm" << Answers{ExodusWrong, TorahWrong} << "0 2 2" << 1;
        QTest::newRow("mixed") << "mixed.htm" << Answers{Exodus, TorahWrong, David, ArkWrong} << "2 2 4" << 1;
        QTest::newRow("second press writes the same page")
            << "mixed.htm" << Answers{Exodus, TorahWrong, David, ArkWrong} << "2 2 4" << 2;
        QTest::newRow("first question skipped")
            << "skipped_first.htm" << Answers{ArkWrong, Exodus, Torah} << "2 1 4" << 1;
        QTest::newRow("ellipsis and double blank")
            << "ellipsis.htm"
            << Answers{{QStringLiteral("Finish the verse: In the beginning\u2026"), "God created  the heaven",
                        "God created  the heaven"},
                       {"Which letter comes after Aleph?", "Bet", QStringLiteral("Gimel\u2026")}}
            << "1 1 2" << 1;
        QTest::newRow("markup characters")
            << "markup.htm" << Answers{{"Is 2 < 3 && 5 > 4, 100%1 \"sure\"?", "<b>Yes</b>", "No & %2"}} << "0 1 2" << 1;
    }

    void pageMatchesHandWrittenPage()
    {
        QFETCH(QString, expected);
        QFETCH(Answers, answers);
        QFETCH(QString, totals);
        QFETCH(int, presses);

        ResultsReport report(Email, Web);
        for (const QStringList& a : answers)
            report.AddAnswerRow(a[0], a[1], a[2], a[1] == a[2]);
        WriteOutcome outcome;
        for (int press = 0; press < presses; ++press) {
            QFile::remove(m_program + "/logo.f"); // each press writes both files again
            const QStringList shown = totals.split(u' ');
            outcome = report.WriteResultsPage(shown[0], shown[1], shown[2].toShort(), TinyGif,
                                              ResultsStore(m_program, m_user));
        }

        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QCOMPARE(outcome.pagePath, m_program + "/Results.htm");
        const QByteArray page = readFile(outcome.pagePath);
        const QByteArray want = readFile(Expected + expected);
        QVERIFY2(!want.isEmpty(), qPrintable(expected));
        QVERIFY2(page == want, firstDifference(page, want).constData());
        // A checkout could strip the CRs of the expected pages; the written page keeps them regardless.
        QCOMPARE(page.count("\r\n"), page.count('\n'));
        QVERIFY(page.endsWith("</table></body></html>\r\n"));
        QCOMPARE(readFile(m_program + "/logo.f"), TinyGif);
    }

    void fullQuizOfHundredFortyRows()
    {
        // Odd questions answered right, even ones wrong: a wrong answer's row is bold throughout.
        const auto row = [](const QByteArrayList& texts, bool bold) {
            QByteArray out = "<tr>";
            for (qsizetype c = 0; c < 3; ++c)
                out += (c == 0 ? "<td width=50%>" : "<td width=25% nowrap>") +
                       QByteArray("<font size=2 color=#999966>") + (bold ? "<b>" + texts[c] + "</b>" : texts[c]) +
                       "</font></td>";
            return out + "</tr>";
        };
        ResultsReport report(Email, Web);
        QByteArray rows;
        for (int i = 1; i <= 140; ++i) {
            const QByteArray n = QByteArray::number(i);
            const QByteArrayList texts = {"Question " + n, "Answer " + n, (i % 2 ? "Answer " : "Other ") + n};
            report.AddAnswerRow(texts[0], texts[1], texts[2], i % 2 == 1);
            rows += row(texts, i % 2 == 0);
        }
        const WriteOutcome outcome = report.WriteResultsPage("70", "70", 140, TinyGif, ResultsStore(m_program, m_user));
        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        const QByteArray want = readFile(Expected + "full_quiz_before_rows.htm") + rows + "</table></body></html>\r\n";
        const QByteArray page = readFile(outcome.pagePath);
        QVERIFY2(page == want, firstDifference(page, want).constData());
    }

    void failedWriteKeepsEarlierFiles_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<FileWriter>("writer");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("reason"); // empty: the system's own words

        for (const QString failing : {"logo.f", "Results.htm"}) {
            for (const bool reportsError : {true, false}) {
                // Lets half of the failing file through, then fails, or stops short as on a full disk.
                const DeviceWrite halfway = [=](QSaveFile& file, const QByteArray& bytes) -> qint64 {
                    if (QFileInfo(file.fileName()).fileName() != failing)
                        return file.write(bytes);
                    const qint64 half = file.write(bytes.left(bytes.size() / 2));
                    return reportsError ? -1 : half;
                };
                QTest::addRow("%s %s", qPrintable(failing), reportsError ? "fails with an error" : "cut short")
                    << "program" << safeFileWriter(halfway) << failing << QString();
            }
        }
        const FileWriter diskFull = [](const QString&, const QByteArray&) {
            return WriteResult{false, QStringLiteral("No space left on device")};
        };
        QTest::newRow("disk full") << "program" << diskFull << "logo.f" << u"No space left on device"_qs;
        QTest::newRow("both folders lie under a plain file")
            << "plain/program" << safeFileWriter() << "logo.f" << QString();
    }

    // Each file is the old one or the new one, whole: no half file and no temporary file is left, and
    // the player is told which file could not be saved, and why.
    void failedWriteKeepsEarlierFiles()
    {
        QFETCH(QString, program);
        QFETCH(FileWriter, writer);
        QFETCH(QString, failing);
        QFETCH(QString, reason);
        const QString user = m_dir->filePath(program.startsWith("plain") ? "plain/TevrinQuiz" : "data/TevrinQuiz");
        QVERIFY(writeFile(m_program + "/Results.htm", OldPage) && writeFile(m_program + "/logo.f", OldLogo));
        const ResultsStore store(m_dir->filePath(program), user, writer);
        const WriteOutcome outcome = store.writeFiles(TinyGif, NewPage);

        QVERIFY(!outcome.ok && outcome.pagePath.isEmpty());
        QCOMPARE(outcome.failedPath, user + "/" + failing);
        const QStringList lines = outcome.message().split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], "Could not save the results page");
        QCOMPARE(lines[1], QDir::toNativeSeparators(outcome.failedPath));
        QVERIFY(!lines[2].isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(lines[2], reason);
        const bool logoWritten = program == "program" && failing != "logo.f";
        QCOMPARE(readFile(m_program + "/Results.htm"), OldPage);
        QCOMPARE(readFile(m_program + "/logo.f"), logoWritten ? TinyGif : OldLogo);
        QCOMPARE(filesIn(m_program), QStringList({"Results.htm", "logo.f"}));
        QCOMPARE(filesIn(user), logoWritten ? QStringList({"logo.f"}) : QStringList());
        QCOMPARE(store.previousPage(), program == "program" ? m_program + "/Results.htm" : QString());
    }

    void whereTheFilesGo_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("refuseProgramFolder");
        QTest::addColumn<QString>("folderNamedLikePage");
        QTest::addColumn<QString>("written"); // the folder the files are written to, replacing earlier ones

        const QString none;
        QTest::newRow("program folder") << "program" << false << none << "program";
        QTest::newRow("program at the root: bare names") << "/" << false << none << "current";
        QTest::newRow("program folder refuses writing") << "program" << true << none << "data/TevrinQuiz";
        QTest::newRow("program folder under a plain file") << "plain/program" << false << none << "data/TevrinQuiz";
        QTest::newRow("page name taken by a folder")
            << "program" << false << "program/Results.htm" << u"data/TevrinQuiz"_qs;
    }

    void whereTheFilesGo()
    {
        QFETCH(QString, program);
        QFETCH(bool, refuseProgramFolder);
        QFETCH(QString, folderNamedLikePage);
        QFETCH(QString, written);
        const QString folder = m_dir->filePath(written);
        QVERIFY(QDir().mkpath(folder) && QDir::setCurrent(m_dir->filePath("current")));
        QVERIFY(folderNamedLikePage.isEmpty() || QDir().mkpath(m_dir->filePath(folderNamedLikePage)));
        QVERIFY(writeFile(folder + "/Results.htm", QByteArray(10000, 'x')) &&
                writeFile(folder + "/logo.f", QByteArray(5000, 'y')));
        const QString programFolder = program == "/" ? QDir::rootPath() : m_dir->filePath(program);
        const FileWriter writer = [&](const QString& path, const QByteArray& bytes) {
            if (refuseProgramFolder && path.startsWith(programFolder + "/"))
                return WriteResult{false, QStringLiteral("Permission denied")};
            return writeFileSafely(path, bytes);
        };
        const ResultsStore store(programFolder, m_user, writer);
        const WriteOutcome outcome = store.writeFiles(TinyGif, NewPage);

        QVERIFY2(outcome.ok && outcome.message().isEmpty(), qPrintable(outcome.message()));
        QCOMPARE(outcome.pagePath, written == "current" ? "Results.htm" : folder + "/Results.htm");
        QCOMPARE(readFile(folder + "/Results.htm"), NewPage);
        QCOMPARE(readFile(folder + "/logo.f"), TinyGif);
        QCOMPARE(filesIn(folder), QStringList({"Results.htm", "logo.f"}));
        if (written != "data/TevrinQuiz")
            QVERIFY(!QFileInfo::exists(m_user)); // made only when needed
        QCOMPARE(store.previousPage(), outcome.pagePath);
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
        const QStringList pages = {m_program + "/Results.htm", m_user + "/Results.htm"};
        for (int i : {0, 1}) {
            const int age = i == 0 ? programAge : userAge;
            QFile page(pages[i]);
            QVERIFY(age < 0 ||
                    (page.open(QIODevice::WriteOnly) && page.write(OldPage) > 0 && page.flush() &&
                     page.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime)));
        }
        const QString want = newer == "program" ? pages[0] : newer == "user" ? pages[1] : QString();
        QCOMPARE(ResultsStore(m_program, m_user).previousPage(), want);
    }
};

QTEST_GUILESS_MAIN(ResultsPageTest)
#include "results_page_test.moc"
