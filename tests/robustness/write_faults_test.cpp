// SPDX-License-Identifier: GPL-3.0-or-later
// Results pages written while the system says no: a file-size limit, a full disk, a folder that
// became read-only between two writes. The earlier page must survive whole, the player must be
// told, and nothing half-written may be opened or left lying in the folder.
#include "fake_services.h"
#include "page_check.h"
#include "quiz/quiz_screen.h"
#include "sample_page.h"
#include "shell/screen_flow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Empty when this process has a mount namespace of its own, else why not.
QString g_noMountReason;

QString systemError(const char* what)
{
    return u"%1: %2"_qs.arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// Mounts made by the tests then never show outside this process, and vanish with it.
QString enterOwnMountNamespace()
{
    if (unshare(CLONE_NEWNS) != 0)
        return systemError("no mount namespace of its own (unshare)");
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return systemError("the mounts cannot be made private");
    return {};
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Empty when the file holds exactly what was written before; else what it holds instead.
QString changedFile(const QString& path, const QByteArray& before)
{
    const QByteArray now = fileBytes(path);
    if (now == before)
        return {};
    QString what =
        u"%1 holds %2 bytes, not the %3 bytes written before"_qs.arg(path).arg(now.size()).arg(before.size());
    PageCheck::Page page;
    QString error;
    if (path.endsWith(u"Results.htm"_qs) && !PageCheck::parse(now, page, error))
        what += u"; it is no whole page: "_qs + error;
    return what;
}

#define VERIFY_UNCHANGED(path, before)                                                                                 \
    do {                                                                                                               \
        const QString problem = changedFile(path, before);                                                             \
        QVERIFY2(problem.isEmpty(), qPrintable(problem));                                                              \
    } while (false)

struct ChildRun
{
    bool started = false;
    QString startError;
    QProcess::ExitStatus status = QProcess::NormalExit;
    int exitCode = -1;
    QStringList lines;
};

ChildRun runWriter(const QStringList& arguments, const std::function<void()>& inChild = {},
                   const QString& program = QStringLiteral(PAGE_WRITER))
{
    QProcess child;
    child.setProgram(program);
    child.setArguments(arguments);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (inChild)
        child.setChildProcessModifier(inChild);
    child.start();
    ChildRun run;
    run.started = child.waitForStarted();
    run.startError = child.errorString();
    if (!run.started)
        return run;
    child.waitForFinished(120000);
    run.status = child.exitStatus();
    run.exitCode = child.exitCode();
    run.lines = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    return run;
}

QString describe(const ChildRun& run)
{
    return u"exit %1%2, said: %3"_qs.arg(run.exitCode)
        .arg(run.status == QProcess::CrashExit ? u" (killed by a signal)"_qs : QString())
        .arg(run.lines.join(u" / "_qs));
}

const QStringList PageAndLogo = {u"Results.htm"_qs, u"logo.f"_qs};

// A quiz of `count` questions played to its last one, every question answered.
QuizScreen* playToLastQuestion(ScreenFlow& flow, int count)
{
    flow.StartQuiz(static_cast<qint16>(count));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QuizScreen* quiz = flow.Quiz;
    auto* next = quiz->findChild<QPushButton*>(u"Nextbtn"_qs);
    for (int q = 1; q <= count; ++q) {
        quiz->Option1_Click(q % 4);
        if (q < count)
            next->click();
    }
    return quiz;
}

void pressResult(QuizScreen* quiz)
{
    quiz->findChild<QPushButton*>(u"Nextbtn"_qs)->click();
}

void goHome(FakeServices& services, QuizScreen* quiz)
{
    services.answers.enqueue(true);
    quiz->home_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class WriteFaultsTest : public QObject
{
    Q_OBJECT

private:
    // The first quiz's page, written while all is well; the second quiz's page then fails.
    void firstQuizWritten(FakeServices& services, ScreenFlow& flow, const QString& folder, QByteArray& page);

private Q_SLOTS:
    void fileSizeLimit_data();
    void fileSizeLimit();
    void folderLockedForAnUnprivilegedUser();
    void fullDiskThroughTheQuizScreen_data();
    void fullDiskThroughTheQuizScreen();
    void readOnlyMountThroughTheQuizScreen();
};

void WriteFaultsTest::fileSizeLimit_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<qint64>("limit");
    const qint64 logo = SamplePage::logo().size();
    // A page larger than the logo but small enough to sit in a file's write buffer.
    const qint64 mediumPage = SamplePage::bytes(2, 20, 100).size();
    const qint64 largePage = SamplePage::bytes(2, 140, 200).size();
    QTest::newRow("logo cut midway") << 140 << 200 << logo / 2;
    QTest::newRow("large page cut midway") << 140 << 200 << largePage / 2;
    QTest::newRow("large page one byte short") << 140 << 200 << largePage - 1;
    QTest::newRow("medium page cut midway, logo whole") << 20 << 100 << (logo + mediumPage) / 2;
    QTest::newRow("small page and logo both cut") << 3 << 10 << qint64(2048);
}

// The limit is a child's own, with SIGXFSZ ignored so that the write fails instead of the process.
void WriteFaultsTest::fileSizeLimit()
{
    QFETCH(int, rows);
    QFETCH(int, textLength);
    QFETCH(qint64, limit);
    QVERIFY2(SamplePage::bytes(2, rows, textLength).size() > limit, "the page would fit under the limit");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const ChildRun first = runWriter({u"write"_qs, folder.path(), u"1"_qs, u"2"_qs, u"10"_qs});
    QVERIFY2(first.started, qPrintable(first.startError));
    QVERIFY2(first.exitCode == 0 && first.lines == QStringList{u"ok"_qs}, qPrintable(describe(first)));
    const QByteArray earlier = fileBytes(folder.filePath(u"Results.htm"_qs));
    QCOMPARE(earlier, SamplePage::bytes(1, 2, 10));

    const QStringList arguments = {u"write"_qs, folder.path(), u"2"_qs, QString::number(rows),
                                   QString::number(textLength)};
    const ChildRun limited = runWriter(arguments, [limit] {
        const rlimit size{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &size);
        std::signal(SIGXFSZ, SIG_IGN);
    });
    QVERIFY2(limited.started, qPrintable(limited.startError));
    VERIFY_UNCHANGED(folder.filePath(u"Results.htm"_qs), earlier);
    VERIFY_UNCHANGED(folder.filePath(u"logo.f"_qs), SamplePage::logo());
    QVERIFY2(limited.status == QProcess::NormalExit && limited.exitCode == 3, qPrintable(describe(limited)));
    QCOMPARE(limited.lines.size(), 1);
    QVERIFY2(limited.lines[0].startsWith(u"failed\t"_qs) && limited.lines[0].size() > 7, qPrintable(describe(limited)));
    QCOMPARE(folderEntries(folder.path()), PageAndLogo);
}

// Root writes into any folder whatever its permission bits, so the child becomes nobody first.
void WriteFaultsTest::folderLockedForAnUnprivilegedUser()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    auto unlock = qScopeGuard([&] {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    std::function<void()> inChild;
    QString program = QStringLiteral(PAGE_WRITER);
    // The build folder may be closed to other users: nobody runs a copy from an open folder.
    QTemporaryDir programFolder;
    QVERIFY(programFolder.isValid());
    if (geteuid() == 0) {
        program = programFolder.filePath(u"page_writer"_qs);
        QVERIFY(QFile::copy(QStringLiteral(PAGE_WRITER), program));
        const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                          QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(programFolder.path(), open) && QFile::setPermissions(program, open));
        const passwd* nobody = getpwnam("nobody");
        const uid_t uid = nobody ? nobody->pw_uid : 65534;
        const gid_t gid = nobody ? nobody->pw_gid : 65534;
        QVERIFY2(chown(QFile::encodeName(folder.path()).constData(), uid, gid) == 0, qPrintable(systemError("chown")));
        inChild = [uid, gid] {
            if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0)
                _exit(97);
        };
    }
    const ChildRun run = runWriter({u"write-then-lock"_qs, folder.path()}, inChild, program);
    QVERIFY2(run.started, qPrintable(run.startError));
    QVERIFY2(run.exitCode != 97, "the writer could not become an unprivileged user");
    QVERIFY2(run.exitCode == 3 && run.lines.size() == 2, qPrintable(describe(run)));
    QCOMPARE(run.lines[0], u"ok"_qs);
    QVERIFY2(run.lines[1].startsWith(u"failed\t"_qs) && run.lines[1].size() > 7, qPrintable(describe(run)));

    VERIFY_UNCHANGED(folder.filePath(u"Results.htm"_qs), SamplePage::bytes(1, 2, 10));
    QCOMPARE(folderEntries(folder.path()), PageAndLogo);
}

void WriteFaultsTest::firstQuizWritten(FakeServices& services, ScreenFlow& flow, const QString& folder,
                                       QByteArray& page)
{
    QuizScreen* first = playToLastQuestion(flow, 2);
    pressResult(first);
    QVERIFY2(services.messages.isEmpty(), qPrintable(services.messages.value(0).text));
    QCOMPARE(services.openedPages.size(), 1);
    page = fileBytes(folder + u"/Results.htm"_qs);
    PageCheck::Page parsed;
    QString error;
    QVERIFY2(PageCheck::parse(page, parsed, error), qPrintable(error));
    goHome(services, first);
}

void WriteFaultsTest::fullDiskThroughTheQuizScreen_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("extraRoom");
    // Room for the logo and a little of the page, which is larger.
    QTest::newRow("page cut midway") << 140 << 8192;
    // Not a byte left: even a small logo and page fail.
    QTest::newRow("disk already full") << 2 << -1;
}

void WriteFaultsTest::fullDiskThroughTheQuizScreen()
{
    QFETCH(int, questions);
    QFETCH(int, extraRoom);
    if (!g_noMountReason.isEmpty())
        QSKIP(qPrintable(g_noMountReason));
    QTemporaryDir mountPoint;
    QVERIFY(mountPoint.isValid());
    const QByteArray path = QFile::encodeName(mountPoint.path());
    if (mount("tevrin-full", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=512k,mode=0700") != 0)
        QSKIP(qPrintable(systemError("no small tmpfs can be mounted")));
    auto unmount = qScopeGuard([&] { umount2(path.constData(), MNT_DETACH); });

    FakeServices services(mountPoint.path(), QString());
    ScreenFlow flow(services);
    QByteArray earlier;
    firstQuizWritten(services, flow, mountPoint.path(), earlier);
    if (QTest::currentTestFailed())
        return;
    const QByteArray earlierLogo = fileBytes(mountPoint.filePath(u"logo.f"_qs));
    QuizScreen* second = playToLastQuestion(flow, questions);

    const QString fillerPath = mountPoint.filePath(u"filler"_qs);
    const int filler = open(QFile::encodeName(fillerPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(filler >= 0);
    const QByteArray block(4096, 'f');
    off_t filled = 0;
    for (ssize_t written = 0; written >= 0; written = write(filler, block.constData(), block.size()))
        filled += written;
    QCOMPARE(errno, ENOSPC);
    const off_t logo = earlierLogo.size();
    const off_t room = extraRoom < 0 ? 0 : (logo + 4095) / 4096 * 4096 + extraRoom;
    QVERIFY(ftruncate(filler, filled - room) == 0);
    close(filler);

    pressResult(second);
    VERIFY_UNCHANGED(mountPoint.filePath(u"Results.htm"_qs), earlier);
    VERIFY_UNCHANGED(mountPoint.filePath(u"logo.f"_qs), earlierLogo);
    QCOMPARE(services.messages.size(), 1);
    QVERIFY(!services.messages[0].text.isEmpty());
    QCOMPARE(services.messages[0].parent.data(), second);
    QCOMPARE(services.openedPages.size(), 1);
    QCOMPARE(folderEntries(mountPoint.path()), (QStringList{u"Results.htm"_qs, u"filler"_qs, u"logo.f"_qs}));

    // With room again, the same press writes the whole page and opens it.
    QVERIFY(QFile::remove(fillerPath));
    pressResult(second);
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.openedPages.size(), 2);
    const QByteArray page = fileBytes(mountPoint.filePath(u"Results.htm"_qs));
    QVERIFY2(page.size() > room, "the page would have fitted: the failure was not midway");
    PageCheck::Page parsed;
    QString error;
    QVERIFY2(PageCheck::parse(page, parsed, error), qPrintable(error));
    QCOMPARE(parsed.totalQuestions, questions);
    VERIFY_UNCHANGED(mountPoint.filePath(u"logo.f"_qs), earlierLogo);
    QCOMPARE(folderEntries(mountPoint.path()), PageAndLogo);
}

void WriteFaultsTest::readOnlyMountThroughTheQuizScreen()
{
    if (!g_noMountReason.isEmpty())
        QSKIP(qPrintable(g_noMountReason));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QByteArray path = QFile::encodeName(folder.path());

    FakeServices services(folder.path(), QString());
    ScreenFlow flow(services);
    QByteArray earlier;
    firstQuizWritten(services, flow, folder.path(), earlier);
    if (QTest::currentTestFailed())
        return;
    QuizScreen* second = playToLastQuestion(flow, 30);

    if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        QSKIP(qPrintable(systemError("no bind mount")));
    bool mounted = true;
    auto unmount = qScopeGuard([&] {
        if (mounted)
            umount2(path.constData(), MNT_DETACH);
    });
    QVERIFY2(mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0,
             qPrintable(systemError("remount read-only")));

    pressResult(second);
    QCOMPARE(services.messages.size(), 1);
    QVERIFY(!services.messages[0].text.isEmpty());
    QCOMPARE(services.openedPages.size(), 1);
    VERIFY_UNCHANGED(folder.filePath(u"Results.htm"_qs), earlier);
    QCOMPARE(folderEntries(folder.path()), PageAndLogo);

    QVERIFY(umount2(path.constData(), 0) == 0);
    mounted = false;
    pressResult(second);
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.openedPages.size(), 2);
    PageCheck::Page parsed;
    QString error;
    QVERIFY2(PageCheck::parse(fileBytes(folder.filePath(u"Results.htm"_qs)), parsed, error), qPrintable(error));
    QCOMPARE(parsed.totalQuestions, 30);
}

int main(int argc, char* argv[])
{
    // Before the toolkit starts any thread, so that the whole process shares the namespace.
    g_noMountReason = enterOwnMountNamespace();
    QApplication app(argc, argv);
    WriteFaultsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "write_faults_test.moc"
