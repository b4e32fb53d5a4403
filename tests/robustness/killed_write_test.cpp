// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed while it writes the results page never leaves a page cut short: after every
// kill the page is either absent (no write had finished yet) or, byte for byte, one whole page of
// one of the writes.
#include "page_check.h"
#include "sample_page.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <csignal>
#include <thread>

namespace {

constexpr int Kills = 60;
constexpr int GenerationsPerWriter = 100000;

// The generation a whole sample page names in its first row, or -1.
int generationOf(const PageCheck::Page& page)
{
    if (page.rows.isEmpty())
        return -1;
    const QList<QByteArray> words = page.rows.first().question.split(' ');
    bool ok = false;
    const int generation = words.size() > 1 && words[0] == "Page" ? words[1].toInt(&ok) : -1;
    return ok ? generation : -1;
}

} // namespace

class KilledWriteTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtManyMoments();
};

void KilledWriteTest::killedAtManyMoments()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString pagePath = folder.filePath(u"Results.htm"_qs);
    const QString logoPath = folder.filePath(u"logo.f"_qs);
    bool pageWritten = false;
    int lastGeneration = 0;
    int killsBeforeAnyPage = 0;

    for (int round = 1; round <= Kills; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QStringLiteral(PAGE_WRITER),
                     {u"loop"_qs, folder.path(), QString::number(round * GenerationsPerWriter)});
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
        QVERIFY(writer.waitForReadyRead(60000));
        QCOMPARE(writer.readLine().trimmed(), QByteArray("writing"));
        // Uneven steps from 0 to 50 ms: the kills land in every phase of the writes.
        std::this_thread::sleep_for(std::chrono::microseconds((round * 7919) % 50000));
        QVERIFY(::kill(static_cast<pid_t>(writer.processId()), SIGKILL) == 0);
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        const QString when = u"after kill %1"_qs.arg(round);
        if (!QFile::exists(pagePath)) {
            QVERIFY2(!pageWritten, qPrintable(when + u": the earlier page is gone"_qs));
            ++killsBeforeAnyPage;
            continue;
        }
        pageWritten = true;
        QFile file(pagePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        PageCheck::Page page;
        QString error;
        QVERIFY2(PageCheck::parse(bytes, page, error), qPrintable(when + u": the page is cut short: "_qs + error));
        const int generation = generationOf(page);
        QVERIFY2(
            generation >= lastGeneration && generation < (round + 1) * GenerationsPerWriter,
            qPrintable(when + u": the page of write %1 after that of write %2"_qs.arg(generation).arg(lastGeneration)));
        lastGeneration = generation;
        const SamplePage::Shape shape = SamplePage::loopShape(generation);
        QVERIFY2(bytes == SamplePage::bytes(generation, shape.rows, shape.textLength),
                 qPrintable(when + u": the page is not the one write %1 made"_qs.arg(generation)));

        QFile logo(logoPath);
        QVERIFY(logo.open(QIODevice::ReadOnly));
        QVERIFY2(logo.readAll() == SamplePage::logo(), qPrintable(when + u": the logo is cut short"_qs));
    }
    const QStringList entries = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    qInfo("%d kills, %d of them before any page was written; %lld other files left beside the page", Kills,
          killsBeforeAnyPage, static_cast<long long>(entries.size() - 2));
    QVERIFY2(pageWritten, "no write ever finished: the kills came too early to test anything");
}

QTEST_GUILESS_MAIN(KilledWriteTest)
#include "killed_write_test.moc"
