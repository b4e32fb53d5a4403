// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed while it writes the results page never leaves a page cut short: after every
// kill the page is, byte for byte, one whole page of one of the writes, and the logo is whole.
#include "page_check.h"
#include "sample_page.h"

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

// The writer's next line ("writing", then "wrote <generation>" after each page), waiting as long
// as a slow build needs.
QByteArray nextLine(QProcess& writer)
{
    while (!writer.canReadLine())
        if (!writer.waitForReadyRead(60000))
            return {};
    return writer.readLine().trimmed();
}

void startWriter(QProcess& writer, const QString& folder, int firstGeneration)
{
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QStringLiteral(PAGE_WRITER), {u"loop"_qs, folder, QString::number(firstGeneration)});
    QCOMPARE(nextLine(writer), QByteArray("writing"));
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
    // How long one write takes in this build, over a large and a small page: the kills then spread
    // over the first writes of each writer.
    std::chrono::steady_clock::duration cycle{};
    {
        QProcess writer;
        startWriter(writer, folder.path(), 0);
        QVERIFY(nextLine(writer).startsWith("wrote"));
        const auto start = std::chrono::steady_clock::now();
        QVERIFY(nextLine(writer).startsWith("wrote") && nextLine(writer).startsWith("wrote"));
        cycle = (std::chrono::steady_clock::now() - start) / 2;
        writer.kill();
        writer.waitForFinished();
    }
    int lastGeneration = 0;
    for (int round = 1; round <= Kills; ++round) {
        QProcess writer;
        startWriter(writer, folder.path(), round * GenerationsPerWriter);
        if (QTest::currentTestFailed())
            return;
        // Uneven steps: the kills land in every phase of the writes.
        std::this_thread::sleep_for(4 * cycle * ((round * 7919) % 1000) / 1000);
        QVERIFY(::kill(static_cast<pid_t>(writer.processId()), SIGKILL) == 0);
        QVERIFY(writer.waitForFinished(60000));

        const QString when = u"after kill %1: "_qs.arg(round);
        QFile file(folder.filePath(u"Results.htm"_qs));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(when + u"the earlier page is gone"_qs));
        const QByteArray bytes = file.readAll();
        PageCheck::Page page;
        QString error;
        QVERIFY2(PageCheck::parse(bytes, page, error), qPrintable(when + u"the page is cut short: "_qs + error));
        // The first row's question names the generation: "Page <generation> question 1 ...".
        const int generation = page.rows.value(0).question.split(' ').value(1).toInt();
        QVERIFY2(generation >= lastGeneration && generation < (round + 1) * GenerationsPerWriter,
                 qPrintable(when + u"the page of write %1 after that of %2"_qs.arg(generation).arg(lastGeneration)));
        lastGeneration = generation;
        const auto [rows, textLength] = SamplePage::loopShape(generation);
        QVERIFY2(bytes == SamplePage::bytes(generation, rows, textLength),
                 qPrintable(when + u"the page is not the one write %1 made"_qs.arg(generation)));
        QFile logo(folder.filePath(u"logo.f"_qs));
        QVERIFY(logo.open(QIODevice::ReadOnly));
        QVERIFY2(logo.readAll() == SamplePage::logo(), qPrintable(when + u"the logo is cut short"_qs));
    }
}

QTEST_GUILESS_MAIN(KilledWriteTest)
#include "killed_write_test.moc"
