// SPDX-License-Identifier: GPL-3.0-or-later
// A written page as a player's browser shows it: headless Chromium loads it and reports what it sees.
#include "report/results_report.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// Question, right answer, chosen answer; the answer is right when the two are the same.
const QList<QStringList> Answers = {
    {QStringLiteral("Finish the verse: In the beginning\u2026"), "God created  the heaven", "God created  the heaven"},
    {"Who built the ark?", "Noah", "Abraham"},
    {"Which city is called \"the city of David\"?", "Bethlehem", "Bethlehem"},
    {"Which letter comes after Aleph?", "Bet", QStringLiteral("Gimel\u2026")},
};

QStringList texts(const QJsonValue& cells, const QString& key = QString())
{
    QStringList out;
    for (const QJsonValue& cell : cells.toArray())
        out << (key.isEmpty() ? cell : cell[key]).toString().simplified();
    return out;
}

} // namespace

class PageInBrowserTest : public QObject
{
    Q_OBJECT

    // Runs Chromium on the harness and returns what the harness wrote down.
    QJsonObject look(const QString& chromium, const QString& harness)
    {
        QProcess browser;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.filePath("home")); // keeps the browser's own files out of the player's home
        browser.setProcessEnvironment(env);
        browser.start(chromium,
                      {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                       "--disable-background-networking", "--disable-component-update", "--disable-sync",
                       "--lang=en-US", "--allow-file-access-from-files", "--user-data-dir=" + m_dir.filePath("profile"),
                       "--dump-dom", QUrl::fromLocalFile(harness).toString()});
        // A bound against a browser that hangs, not a measure of speed.
        if (!browser.waitForFinished(300000))
            browser.kill();
        // The harness fills its <pre> with "SEEN:" and the facts, or "BROKEN:" and the error, percent-encoded.
        const QByteArray dom = browser.readAllStandardOutput();
        const QByteArray open = "<pre id=\"seen\">";
        const qsizetype from = dom.indexOf(open) + open.size();
        const QByteArray seen = from < open.size() ? QByteArray() : dom.mid(from, dom.indexOf("</pre>", from) - from);
        if (!seen.startsWith("SEEN:")) {
            qWarning("Chromium (%s, exit %d) and the harness say: %s\n%s", qPrintable(browser.errorString()),
                     browser.exitCode(), qPrintable(QUrl::fromPercentEncoding(seen)),
                     browser.readAllStandardError().right(2000).constData());
            return {};
        }
        return QJsonDocument::fromJson(QUrl::fromPercentEncoding(seen.mid(5)).toUtf8()).object();
    }

    QTemporaryDir m_dir;
    QJsonObject m_seen;

private Q_SLOTS:
    void initTestCase()
    {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        QVERIFY2(!chromium.isEmpty(), "Chromium is needed to look at the page: install Debian's chromium package "
                                      "(scripts/test does)");
        QFile logo(TEVRIN_SOURCE_DIR "/assets/logo.gif");
        QVERIFY2(logo.open(QIODevice::ReadOnly), "assets/logo.gif is missing");
        const QString program = m_dir.filePath("program");
        QVERIFY(m_dir.isValid() && QDir().mkpath(program));

        ResultsReport report(u"quiz@example.org"_qs, u"https://www.example.org"_qs);
        for (const QStringList& a : Answers)
            report.AddAnswerRow(a[0], a[1], a[2], a[1] == a[2]);
        // Five questions chosen, the first one skipped.
        const WriteOutcome outcome =
            report.WriteResultsPage("2", "2", 5, logo.readAll(), ResultsStore(program, m_dir.filePath("user")));
        QVERIFY2(outcome.ok, qPrintable(outcome.message()));
        QVERIFY(QFile::copy(TEVRIN_SOURCE_DIR "/tests/report/browser_harness.html", program + "/harness.html"));
        m_seen = look(chromium, program + "/harness.html");
        QVERIFY2(!m_seen.isEmpty(), "Chromium told nothing about the page");
    }

    void pageAsAPlayerSeesIt()
    {
        // The page names no character set: the browser has to take its bytes for Windows-1252, not find UTF-8.
        QCOMPARE(m_seen["charset"].toString(), "windows-1252");
        QCOMPARE(m_seen["background"].toString(), "rgb(0, 0, 0)");
        QCOMPARE(m_seen["tables"].toInt(), 2);
        QCOMPARE(m_seen["links"].toArray(), QJsonArray({"mailto:quiz@example.org", "https://www.example.org"}));
        const QJsonObject logo = m_seen["logo"].toObject();
        QCOMPARE(logo["src"].toString(), "logo.f");
        QVERIFY(logo["complete"].toBool());
        QCOMPARE(QSize(logo["naturalWidth"].toInt(), logo["naturalHeight"].toInt()), QSize(260, 39));
        QCOMPARE(QSizeF(logo["width"].toDouble(), logo["height"].toDouble()), QSizeF(260, 39));
        const QJsonArray totals = m_seen["totals"].toArray();
        QCOMPARE(totals.size(), 3);
        QCOMPARE(texts(totals[0]), QStringList({"Total Correct Answer", ":2"}));
        QCOMPARE(texts(totals[1]), QStringList({"Total Incorrect Answer", ":2"}));
        QCOMPARE(texts(totals[2]), QStringList({"Total Taken Questions", ":5"}));
    }

    void oneRowPerAnswerWithWrongOnesBold()
    {
        const QJsonArray rows = m_seen["answers"].toArray();
        QCOMPARE(rows.size(), Answers.size() + 1);
        QCOMPARE(texts(rows[0], "text"), QStringList({"Questions", "Correct Answer", "Your Answer"}));
        for (qsizetype i = 0; i < Answers.size(); ++i) {
            const bool right = Answers[i][1] == Answers[i][2];
            QStringList shown;
            for (const QJsonValue& cell : rows[i + 1].toArray()) {
                shown << cell["text"].toString();
                const int weight = cell["weight"].toInt();
                QVERIFY2(right ? weight < 600 : weight >= 700,
                         qPrintable(u"row %1: weight %2"_qs.arg(i + 1).arg(weight)));
            }
            // Exact text: the ellipsis must come back from byte 0x85 and the two blanks stay.
            QCOMPARE(shown, Answers[i]);
        }
    }
};

QTEST_GUILESS_MAIN(PageInBrowserTest)
#include "page_in_browser_test.moc"
