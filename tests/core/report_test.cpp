// SPDX-License-Identifier: GPL-3.0-or-later
// The results page byte for byte against pages written by hand, its code page, where it is saved
// (whole or not at all) and which page Previous Results opens.
#include "core/folder_prefix.h"
#include "core/page_encoding.h"
#include "core/results_report.h"

#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// The store copies the logo's bytes without looking into them.
const QByteArray Logo = "GIF89a, the logo";
const QByteArray NewPage(8000, 'n');

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes, int age = 0)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime);
}

class ReportTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    int m_case = 0;

private Q_SLOTS:
    // Every case runs in a current folder of its own that holds an empty program folder, named with
    // four letters: on Windows a folder of three characters or fewer is taken for a drive's root.
    void init()
    {
        const QString folder = m_root.filePath(QString::number(++m_case));
        QVERIFY(QDir().mkpath(folder + "/quiz"));
        QVERIFY(QDir::setCurrent(folder));
    }

    void pageBytes_data()
    {
        // Each row is named after its golden page. Question, right answer and chosen answer, one after the other;
        // an answer is right when the two are the same.
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("totals"); // right, wrong and chosen, as the screen shows them

        const QStringList exodus{"Who led the people out of Egypt?", "Moses", "Moses"};
        const QStringList david{"Which city is called \"the city of David\"?", "Bethlehem", "Bethlehem"};
        const QStringList torah{"How many books has the Torah?", "Five", "Five"};
        const QStringList arkWrong{"Who built the ark?", "Noah", "Abraham"};
        const QStringList verse{u"Finish the verse: In the beginning\u2026"_qs, "God created  the heaven",
                                "God created  the heaven"};
        const QStringList aleph{"Which letter comes after Aleph?", "Bet", u"Gimel\u2026"_qs};
        QTest::newRow("no_rows.htm") << QStringList() << "0 0 2";
        QTest::newRow("full_quiz.htm") << QStringList() << "70 70 140";
        QTest::newRow("all_right.htm") << exodus + david + torah << "3 0 3";
        QTest::newRow("all_wrong.htm") << (exodus.first(2) << "Aaron") + (torah.first(2) << "Seven") << "0 2 2";
        QTest::newRow("mixed.htm") << exodus + (torah.first(2) << "Seven") + david + arkWrong << "2 2 4";
        QTest::newRow("skipped_first.htm") << arkWrong + exodus + torah << "2 1 4";
        QTest::newRow("ellipsis.htm") << verse + aleph << "1 1 2";
        QTest::newRow("markup.htm") << QStringList{"Is 2 < 3 && 5 > 4, 100%1 \"sure\"?", "<b>Yes</b>", "No & %2"}
                                    << "0 1 2";
    }

    // Result pressed twice writes the same page: the totals are added once.
    void pageBytes()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, totals);
        const QByteArray want = readFile(QFINDTESTDATA(u"expected/"_qs + QTest::currentDataTag()));
        ResultsReport report(u"quiz@example.org"_qs, u"https://www.example.org"_qs);
        for (qsizetype i = 0; i + 2 < answers.size(); i += 3)
            report.AddAnswerRow(answers[i], answers[i + 1], answers[i + 2], answers[i + 1] == answers[i + 2]);
        const QStringList shown = totals.split(u' ');
        for (int press = 0; press < 2; ++press) {
            QVERIFY(report.WriteResultsPage(shown[0], shown[1], shown[2].toShort(), Logo, {"quiz", {}}).ok);
            const QByteArray page = readFile("quiz/Results.htm");
            // Where the two part, so that a failure shows the bytes there rather than two whole pages.
            const qsizetype at = std::mismatch(page.begin(), page.end(), want.begin(), want.end()).first - page.begin();
            QCOMPARE(page.mid(at - 40, 100), want.mid(at - 40, 100));
            QCOMPARE(readFile("quiz/logo.f"), Logo);
        }
    }

    // Windows-1252 outside Windows, whatever the locale.
    void encoding()
    {
        for (const auto& [text, bytes] : QList<std::pair<QString, QByteArray>>{
#ifndef Q_OS_WIN
                 {u"Ark Caf\u00e9 \u00a0\u00ff in\u2026"_qs, "Ark Caf\xe9 \xa0\xff in\x85"},
                 {u"\u20ac\u0178\u0081\u009d"_qs, "\x80\x9f\x81\x9d"}, // the ends of the table, and two of its holes
                 {u"\u0085\u0080\u0101\u05e9"_qs, "????"},             // what the code page lacks
                 {u"a\U0001F54Ab"_qs + QChar(0xD800) + u'x', "a?b?x"}, // a surrogate pair is one character
#endif
             })
            QCOMPARE(encodePageText(text), bytes);
#ifdef Q_OS_WIN
        // The ANSI code page; what it lacks is one clean '?', in a double-byte code page too.
        const QMap<UINT, QByteArray> byCodePage = {{1252, "\xe9\x85\x80 ? ?"}, {932, "?\x81\x63? \x8a\xbf ?"}};
        if (!byCodePage.contains(GetACP()))
            QSKIP("Written for the code pages 1252 and 932");
        QCOMPARE(encodePageText(u"\u00e9\u2026\u20ac \u6f22 \u2603"_qs), byCodePage[GetACP()]);
#endif
    }

    // At the root of a drive or file system the files go by their bare names. Only Unix folders start with "/" here.
    void folderPrefixes()
    {
        const QList<std::pair<QString, QString>> table = {{"C:/A\\", "C:\\A\\"},          {"C:/", ""},   {"E:\\", ""},
                                                          {"/usr/games/", "/usr/games/"}, {"/a", "/a/"}, {"/", ""}};
        for (const auto& [folder, prefix] : table)
            QCOMPARE(folderPrefix(folder, folder.startsWith(u'/') ? PathStyle::Unix : PathStyle::Windows), prefix);
    }

    void whereTheFilesGo_data()
    {
        QTest::addColumn<QString>("program"); // "/" stands for the root
        QTest::addColumn<QString>("earlier"); // a page written an hour before
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QStringList>("attempts"); // the last one refused when nothing could be saved

        const QString logo = "quiz/logo.f", page = "quiz/Results.htm", uLogo = "user/logo.f",
                      uPage = "user/Results.htm";
        QTest::newRow("program folder") << "quiz" << uPage << QStringList() << QStringList{logo, page};
        QTest::newRow("root: bare names") << "/" << QString() << QStringList() << QStringList{"logo.f", "Results.htm"};
        QTest::newRow("page refused") << "quiz" << page << QStringList{page} << QStringList{logo, page, uLogo, uPage};
        QTest::newRow("logos refused") << "quiz" << QString() << QStringList{logo, uLogo} << QStringList{logo, uLogo};
        QTest::newRow("user page") << "quiz" << uPage << QStringList{logo, uPage} << QStringList{logo, uLogo, uPage};
    }

    // The program's folder first, the player's data folder (made when needed) when that one refuses;
    // Previous Results then opens the newer page.
    void whereTheFilesGo()
    {
        QFETCH(QString, program);
        QFETCH(QString, earlier);
        QFETCH(QStringList, refused);
        QFETCH(QStringList, attempts);
        if (!earlier.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(earlier).path()));
            QVERIFY(writeFile(earlier, "old", 3600));
        }
        QStringList tried;
        // A refused file fails for real: its write where a file stands, else its rename over a folder put there.
        // Windows spells the program's folder with backslashes.
        const DeviceWrite write = [&](QSaveFile& file, const QByteArray& bytes) {
            tried << QDir::fromNativeSeparators(file.fileName());
            return refused.contains(tried.last()) && !QDir().mkdir(tried.last()) ? -1 : file.write(bytes);
        };
        const ResultsStore store(program == "/" ? QDir::rootPath() : program, "user", safeFileWriter(write));
        const WriteOutcome outcome = store.writeFiles(Logo, NewPage);
        const bool saved = !refused.contains(attempts.last());
        QCOMPARE(tried, attempts);
        // Nothing saved: a line for each folder tried names the file refused for what it is, then the system's words.
        const QStringList lines = outcome.message().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), saved ? 0 : 3);
        for (int i = 1; i < lines.size(); ++i) {
            const QFileInfo file(refused[i - 1]);
            const QString said = (file.fileName() == "logo.f" ? u"The logo picture "_qs : u"The results page "_qs) +
                                 file.fileName() + " could not be saved in " +
                                 QDir::toNativeSeparators(file.absolutePath()) + ": ";
            QCOMPARE(lines[i].left(said.size()), said);
            QCOMPARE_GT(lines[i].size(), said.size());
        }
        QCOMPARE(QDir::fromNativeSeparators(outcome.pagePath), saved ? attempts.last() : QString());
        QCOMPARE(store.previousPage(), saved ? attempts.last() : earlier);
    }

#ifdef Q_OS_UNIX
    // A file-size limit cuts the page short inside the system; the earlier page must stay as it was.
    void shortWriteKeepsEarlierPage()
    {
        QVERIFY(writeFile("quiz/Results.htm", "the earlier page"));
        // The limit counts blocks of 512 or 1024 bytes: the logo fits, the page does not. With SIGXFSZ ignored the
        // write fails instead of the process; a crash would return -1.
        const QString script = R"(ulimit -f 4 && trap '' XFSZ && exec "$0" write-page quiz)";
        QCOMPARE(QProcess::execute("sh", {"-c", script, QCoreApplication::applicationFilePath()}), 3);
        QCOMPARE(readFile("quiz/Results.htm"), QByteArray("the earlier page"));
    }
#endif
};

int main(int argc, char* argv[])
{
    // The child of shortWriteKeepsEarlierPage: one page through the real store, and its outcome.
    if (argc == 3 && qstrcmp(argv[1], "write-page") == 0)
        return ResultsStore(QString::fromLocal8Bit(argv[2]), {}).writeFiles(Logo, NewPage).ok ? 0 : 3;
    QCoreApplication app(argc, argv);
    ReportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "report_test.moc"
