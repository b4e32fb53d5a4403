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

// Reads the writer's next line, waiting for it as long as a slow build needs.
QByteArray nextLine(QProcess& writer)
{
    while (!writer.canReadLine()) {
        if (!writer.waitForReadyRead(60000))
            return {};
    }
    return writer.readLine().trimmed();
}

} // namespace

class KilledWriteTest : public QObject
{
    Q_OBJECT

private:
    void startWriter(QProcess& writer, const QString& folder, int firstGeneration);

private Q_SLOTS:
    void killedAtManyMoments();
};

void KilledWriteTest::startWriter(QProcess& writer, const QString& folder, int firstGeneration)
{
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QStringLiteral(PAGE_WRITER), {u"loop"_qs, folder, QString::number(firstGeneration)});
    QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
    QCOMPARE(nextLine(writer), QByteArray("writing"));
}

void KilledWriteTest::killedAtManyMoments()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString pagePath = folder.filePath(u"Results.htm"_qs);
    const QString logoPath = folder.filePath(u"logo.f"_qs);

    // How long one write takes in this build, on average over a large and a small page: the kills
    // then spread over the first writes of each writer, the first one slowed by the start.
    std::chrono::steady_clock::duration cycle{};
    {
        QProcess writer;
        startWriter(writer, folder.path(), 0);
        QVERIFY(nextLine(writer).startsWith("wrote"));
        const auto start = std::chrono::steady_clock::now();
        QVERIFY(nextLine(writer).startsWith("wrote"));
        QVERIFY(nextLine(writer).startsWith("wrote"));
        cycle = (std::chrono::steady_clock::now() - start) / 2;
        writer.kill();
        writer.waitForFinished();
    }
    int lastGeneration = 0;
    int killsBeforeTheirFirstPage = 0;

    for (int round = 1; round <= Kills; ++round) {
        QProcess writer;
        startWriter(writer, folder.path(), round * GenerationsPerWriter);
        if (QTest::currentTestFailed())
            return;
        // Uneven steps: the kills land in every phase of the writes.
        std::this_thread::sleep_for(4 * cycle * ((round * 7919) % 1000) / 1000);
        QVERIFY(::kill(static_cast<pid_t>(writer.processId()), SIGKILL) == 0);
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        const QString when = u"after kill %1"_qs.arg(round);
        QFile file(pagePath);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(when + u": the earlier page is gone"_qs));
        const QByteArray bytes = file.readAll();
        PageCheck::Page page;
        QString error;
        QVERIFY2(PageCheck::parse(bytes, page, error), qPrintable(when + u": the page is cut short: "_qs + error));
        const int generation = generationOf(page);
        QVERIFY2(
            generation >= lastGeneration && generation < (round + 1) * GenerationsPerWriter,
            qPrintable(when + u": the page of write %1 after that of write %2"_qs.arg(generation).arg(lastGeneration)));
        if (generation < round * GenerationsPerWriter)
            ++killsBeforeTheirFirstPage;
        lastGeneration = generation;
        const SamplePage::Shape shape = SamplePage::loopShape(generation);
        QVERIFY2(bytes == SamplePage::bytes(generation, shape.rows, shape.textLength),
                 qPrintable(when + u": the page is not the one write %1 made"_qs.arg(generation)));

        QFile logo(logoPath);
        QVERIFY(logo.open(QIODevice::ReadOnly));
        QVERIFY2(logo.readAll() == SamplePage::logo(), qPrintable(when + u": the logo is cut short"_qs));
    }
    const QStringList entries = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    qInfo("%d kills spread over four writes of %lld ms, %d of them before the writer's first page; "
          "%lld other files left beside the page",
          Kills, static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(cycle).count()),
          killsBeforeTheirFirstPage, static_cast<long long>(entries.size() - 2));
}

QTEST_GUILESS_MAIN(KilledWriteTest)
#include "killed_write_test.moc"
