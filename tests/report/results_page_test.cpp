// SPDX-License-Identifier: GPL-3.0-or-later
// The written page against pages written out by hand, byte for byte.
#include "report/results_report.h"

#include "report_test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ReportTest;

using Answers = QList<Answer>;
Q_DECLARE_METATYPE(Answers)

namespace {

const Answer Exodus{"Who led the people out of Egypt?", "Moses", "Moses", true};
const Answer ExodusWrong{"Who led the people out of Egypt?", "Moses", "Aaron", false};
const Answer David{"Which city is called \"the city of David\"?", "Bethlehem", "Bethlehem", true};
const Answer Torah{"How many books has the Torah?", "Five", "Five", true};
const Answer TorahWrong{"How many books has the Torah?", "Five", "Seven", false};
const Answer ArkWrong{"Who built the ark?", "Noah", "Abraham", false};

} // namespace

class ResultsPageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(m_program));
    }

    void cleanup() { QVERIFY(QDir(m_program).removeRecursively()); }

    void pageMatchesHandWrittenPage_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("rightCount");
        QTest::addColumn<QString>("wrongCount");
        QTest::addColumn<int>("totQues");

        QTest::newRow("no rows") << "no_rows.htm" << Answers{} << "0"
                                 << "0" << 2;
        QTest::newRow("all right") << "all_right.htm" << Answers{Exodus, David, Torah} << "3"
                                   << "0" << 3;
        QTest::newRow("all wrong") << "all_wrong.htm" << Answers{ExodusWrong, TorahWrong} << "0"
                                   << "2" << 2;
        QTest::newRow("mixed") << "mixed.htm" << Answers{Exodus, TorahWrong, David, ArkWrong} << "2"
                               << "2" << 4;
        QTest::newRow("first question skipped") << "skipped_first.htm" << Answers{ArkWrong, Exodus, Torah} << "2"
                                                << "1" << 4;
        QTest::newRow("ellipsis and double blank")
            << "ellipsis.htm"
            << Answers{{QStringLiteral("Finish the verse: In the beginning\u2026"), "God created  the heaven",
                        "God created  the heaven", true},
                       {"Which letter comes after Aleph?", "Bet", QStringLiteral("Gimel\u2026"), false}}
            << "1"
            << "1" << 2;
        QTest::newRow("markup characters")
            << "markup.htm" << Answers{{"Is 2 < 3 && 5 > 4, 100%1 \"sure\"?", "<b>Yes</b>", "No & %2", false}} << "0"
            << "1" << 2;
    }

    void pageMatchesHandWrittenPage()
    {
        QFETCH(QString, expected);
        QFETCH(Answers, answers);
        QFETCH(QString, rightCount);
        QFETCH(QString, wrongCount);
        QFETCH(int, totQues);

        ResultsReport report(Email, Web);
        for (const Answer& a : answers)
            report.AddAnswerRow(a.question, a.rightAnswer, a.chosenAnswer, a.isRight);
        const WriteOutcome outcome = report.WriteResultsPage(rightCount, wrongCount, qint16(totQues), TinyGif, store());

        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QCOMPARE(outcome.pagePath, m_program + "/Results.htm");
        const QByteArray page = readFile(outcome.pagePath);
        const QByteArray want = readFile(expectedPath(expected));
        QVERIFY2(!want.isEmpty(), qPrintable(expectedPath(expected)));
        QVERIFY2(page == want, firstDifference(page, want).constData());
        // The expected pages could lose their CRs in a checkout; the written page must keep them regardless.
        QCOMPARE(page.count("\r\n"), page.count('\n'));
        QVERIFY(page.endsWith("</table></body></html>\r\n"));
        QCOMPARE(readFile(m_program + "/logo.f"), TinyGif);
        QVERIFY(report.TotalsAdded());
    }

    void fullQuizOfHundredFortyRows()
    {
        ResultsReport report(Email, Web);
        QByteArray rows;
        for (int i = 1; i <= 140; ++i) {
            const QByteArray n = QByteArray::number(i);
            if (i % 2) {
                report.AddAnswerRow("Question " + n, "Answer " + n, "Answer " + n, true);
                rows += "<tr><td width=50%><font size=2 color=#999966>Question " + n +
                        "</font></td><td width=25% nowrap><font size=2 color=#999966>Answer " + n +
                        "</font></td><td width=25% nowrap><font size=2 color=#999966>Answer " + n + "</font></td></tr>";
            } else {
                report.AddAnswerRow("Question " + n, "Answer " + n, "Other " + n, false);
                rows += "<tr><td width=50%><font size=2 color=#999966><b>Question " + n +
                        "</b></font></td><td width=25% nowrap><font size=2 color=#999966><b>Answer " + n +
                        "</b></font></td><td width=25% nowrap><font size=2 color=#999966><b>Other " + n +
                        "</b></font></td></tr>";
            }
        }
        const WriteOutcome outcome = report.WriteResultsPage("70", "70", 140, TinyGif, store());
        QVERIFY2(outcome.ok, qPrintable(outcome.message()));

        const QByteArray want =
            readFile(expectedPath("full_quiz_before_rows.htm")) + rows + "</table></body></html>\r\n";
        const QByteArray page = readFile(outcome.pagePath);
        QVERIFY2(page == want, firstDifference(page, want).constData());
    }

    void secondResultPressWritesTheSamePage()
    {
        ResultsReport report(Email, Web);
        for (const Answer& a : {Exodus, TorahWrong, David, ArkWrong})
            report.AddAnswerRow(a.question, a.rightAnswer, a.chosenAnswer, a.isRight);
        const WriteOutcome first = report.WriteResultsPage("2", "2", 4, TinyGif, store());
        QVERIFY2(first.ok, qPrintable(first.message()));
        QVERIFY(QFile::remove(m_program + "/logo.f"));

        // The screen passes the same captions again; the totals must not be added a second time.
        const WriteOutcome second = report.WriteResultsPage("2", "2", 4, TinyGif, store());
        QVERIFY2(second.ok, qPrintable(second.message()));
        const QByteArray page = readFile(second.pagePath);
        const QByteArray want = readFile(expectedPath("mixed.htm"));
        QVERIFY2(page == want, firstDifference(page, want).constData());
        QCOMPARE(readFile(m_program + "/logo.f"), TinyGif);
    }

private:
    ResultsStore store() const { return ResultsStore(m_program, m_dir.filePath(QStringLiteral("user"))); }

    QTemporaryDir m_dir;
    QString m_program;
};

QTEST_GUILESS_MAIN(ResultsPageTest)
#include "results_page_test.moc"
