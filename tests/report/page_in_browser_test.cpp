// SPDX-License-Identifier: GPL-3.0-or-later
// A written page as a player's browser shows it: headless Chromium loads it and reports what it sees.
#include "report/results_report.h"

#include "report_test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace ReportTest;

namespace {

const QList<Answer> Answers = {
    {QStringLiteral("Finish the verse: In the beginning\u2026"), "God created  the heaven", "God created  the heaven",
     true},
    {"Who built the ark?", "Noah", "Abraham", false},
    {"Which city is called \"the city of David\"?", "Bethlehem", "Bethlehem", true},
    {"Which letter comes after Aleph?", "Bet", QStringLiteral("Gimel\u2026"), false},
};

QString chromiumProgram()
{
    const QString chosen = qEnvironmentVariable("TEVRIN_CHROMIUM");
    return chosen.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("chromium")) : chosen;
}

QStringList texts(const QJsonArray& cells)
{
    QStringList out;
    for (const QJsonValue& cell : cells)
        out << cell.toString().simplified();
    return out;
}

} // namespace

class PageInBrowserTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_chromium = chromiumProgram();
        QVERIFY2(!m_chromium.isEmpty(), "Chromium is needed to look at the page: install Debian's chromium package "
                                        "(scripts/test does), or name the program in TEVRIN_CHROMIUM");
        m_logo = readFile(TEVRIN_SOURCE_DIR "/assets/logo.gif");
        QVERIFY2(!m_logo.isEmpty(), "assets/logo.gif is missing");
        QVERIFY(m_dir.isValid());
        const QString program = m_dir.filePath("program");
        QVERIFY(QDir().mkpath(program));

        ResultsReport report(Email, Web);
        for (const Answer& a : Answers)
            report.AddAnswerRow(a.question, a.rightAnswer, a.chosenAnswer, a.isRight);
        // Five questions chosen, the first one skipped.
        const WriteOutcome outcome =
            report.WriteResultsPage("2", "2", 5, m_logo, ResultsStore(program, m_dir.filePath("user")));
        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QVERIFY(QFile::copy(TEVRIN_SOURCE_DIR "/tests/report/browser_harness.html", program + "/harness.html"));

        m_seen = look(program + "/harness.html");
        QVERIFY2(!m_seen.isEmpty(), "Chromium told nothing about the page");
    }

    void logoLoadsAtItsSize()
    {
        const QJsonObject logo = m_seen["logo"].toObject();
        QCOMPARE(logo["src"].toString(), "logo.f");
        QVERIFY(logo["complete"].toBool());
        QCOMPARE(logo["naturalWidth"].toInt(), 260);
        QCOMPARE(logo["naturalHeight"].toInt(), 39);
        QCOMPARE(logo["width"].toDouble(), 260.0);
        QCOMPARE(logo["height"].toDouble(), 39.0);
    }

    void pageIsBlackWithTwoTablesAndContactLinks()
    {
        QCOMPARE(m_seen["background"].toString(), "rgb(0, 0, 0)");
        QCOMPARE(m_seen["tables"].toInt(), 2);
        QCOMPARE(m_seen["links"].toArray(), QJsonArray({"mailto:quiz@example.org", "https://www.example.org"}));
    }

    void browserReadsTheCodePageTheFileWasWrittenIn()
    {
        // The page names no character set: the browser has to take its bytes for Windows-1252, not find UTF-8 in them.
        QCOMPARE(m_seen["charset"].toString(), "windows-1252");
    }

    void totalsReadAsWritten()
    {
        const QJsonArray rows = m_seen["totals"].toArray();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(texts(rows[0].toArray()), QStringList({"Total Correct Answer", ":2"}));
        QCOMPARE(texts(rows[1].toArray()), QStringList({"Total Incorrect Answer", ":2"}));
        QCOMPARE(texts(rows[2].toArray()), QStringList({"Total Taken Questions", ":5"}));
    }

    void oneRowPerAnswerWithWrongOnesBold()
    {
        const QJsonArray rows = m_seen["answers"].toArray();
        QCOMPARE(rows.size(), Answers.size() + 1);
        QStringList header;
        for (const QJsonValue& cell : rows[0].toArray())
            header << cell["text"].toString().simplified();
        QCOMPARE(header, QStringList({"Questions", "Correct Answer", "Your Answer"}));

        for (qsizetype i = 0; i < Answers.size(); ++i) {
            const Answer& want = Answers[i];
            const QJsonArray cells = rows[i + 1].toArray();
            QCOMPARE(cells.size(), 3);
            // Exact text: the ellipsis must come back from byte 0x85 and the two blanks stay in the text.
            QCOMPARE(cells[0]["text"].toString(), want.question);
            QCOMPARE(cells[1]["text"].toString(), want.rightAnswer);
            QCOMPARE(cells[2]["text"].toString(), want.chosenAnswer);
            for (const QJsonValue& cell : cells) {
                const int weight = cell["weight"].toInt();
                QVERIFY2(want.isRight ? weight < 600 : weight >= 700,
                         qPrintable(QStringLiteral("row %1 has weight %2").arg(i + 1).arg(weight)));
            }
        }
    }

private:
    // Runs Chromium on the harness and returns what the harness wrote down.
    QJsonObject look(const QString& harness)
    {
        QProcess chromium;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.filePath("home")); // keeps the browser's own files out of the player's home
        chromium.setProcessEnvironment(env);
        chromium.setProgram(m_chromium);
        chromium.setArguments({"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                               "--disable-background-networking", "--disable-component-update", "--disable-sync",
                               "--lang=en-US", "--allow-file-access-from-files",
                               "--user-data-dir=" + m_dir.filePath("profile"), "--dump-dom",
                               QUrl::fromLocalFile(harness).toString()});
        chromium.start();
        if (!chromium.waitForStarted()) {
            qWarning("Chromium did not start: %s", qPrintable(chromium.errorString()));
            return {};
        }
        // A bound against a browser that hangs, not a measure of speed.
        if (!chromium.waitForFinished(300000)) {
            chromium.kill();
            chromium.waitForFinished();
            qWarning("Chromium did not finish");
            return {};
        }
        const QByteArray dom = chromium.readAllStandardOutput();
        const QByteArray log = chromium.readAllStandardError();
        // The harness fills its <pre> with "SEEN:" and the facts, or "BROKEN:" and the error, percent-encoded.
        const QByteArray open = "<pre id=\"seen\">";
        const qsizetype from = dom.indexOf(open) + open.size();
        const QByteArray seen = from < open.size() ? QByteArray() : dom.mid(from, dom.indexOf("</pre>", from) - from);
        if (seen.startsWith("BROKEN:")) {
            qWarning("The harness could not read the page: %s", qPrintable(QUrl::fromPercentEncoding(seen.mid(7))));
            return {};
        }
        if (!seen.startsWith("SEEN:")) {
            qWarning("Chromium exited with %d and printed:\n%s\n%s", chromium.exitCode(), dom.right(2000).constData(),
                     log.right(2000).constData());
            return {};
        }
        const QByteArray encoded = seen.mid(5);
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(QUrl::fromPercentEncoding(encoded).toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            qWarning("Unreadable report from the harness: %s", qPrintable(error.errorString()));
        return json.object();
    }

    QTemporaryDir m_dir;
    QString m_chromium;
    QByteArray m_logo;
    QJsonObject m_seen;
};

QTEST_GUILESS_MAIN(PageInBrowserTest)
#include "page_in_browser_test.moc"
