// SPDX-License-Identifier: GPL-3.0-or-later
// Results pages written while the system says no: a file-size limit, a folder locked for an
// unprivileged user, a full disk, a read-only mount. The earlier page must survive whole, the
// player must be told, and nothing half-written may be opened or left lying in the folder.
#include "fake_services.h"
#include "page_check.h"
#include "quiz/quiz_screen.h"
#include "sample_page.h"
#include "shell/screen_flow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
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

QString g_noMountReason; // empty when this process has a mount namespace of its own

QString systemError(const char* what)
{
    return u"%1: %2"_qs.arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The page and logo in `folder` hold what was written before, and nothing else lies there.
void verifyKept(const QString& folder, const QByteArray& page, const QByteArray& logo, QStringList entries = {})
{
    QVERIFY2(fileBytes(folder + u"/Results.htm"_qs) == page, "the earlier page changed");
    QVERIFY2(fileBytes(folder + u"/logo.f"_qs) == logo, "the earlier logo changed");
    entries << u"Results.htm"_qs << u"logo.f"_qs;
    entries.sort();
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name),
             entries);
}

// Runs the page writer; returns its exit code (-1 when killed) and the lines it printed.
std::pair<int, QStringList> runWriter(const QStringList& arguments, const std::function<void()>& inChild = {},
                                      const QString& program = QStringLiteral(PAGE_WRITER))
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (inChild)
        child.setChildProcessModifier(inChild);
    child.start(program, arguments);
    if (!child.waitForStarted() || !child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit)
        return {-1, {child.errorString()}};
    return {child.exitCode(), QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)};
}

// A quiz of `count` questions played to its last one, every question answered.
QuizScreen* playToLastQuestion(ScreenFlow& flow, int count)
{
    flow.StartQuiz(static_cast<qint16>(count));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int q = 1; q <= count; ++q) {
        flow.Quiz->Option1_Click(q % 4);
        if (q < count)
            flow.Quiz->Nextbtn_Click();
    }
    return flow.Quiz;
}

int parsedTotal(const QByteArray& page)
{
    PageCheck::Page parsed;
    QString error;
    return PageCheck::parse(page, parsed, error) ? parsed.totalQuestions : -1;
}

} // namespace

class WriteFaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileSizeLimit_data();
    void fileSizeLimit();
    void folderLockedForAnUnprivilegedUser();
    void faultThroughTheQuizScreen_data();
    void faultThroughTheQuizScreen();
};

void WriteFaultsTest::fileSizeLimit_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<qint64>("limit");
    const qint64 logo = SamplePage::logo().size();
    const qint64 mediumPage = SamplePage::bytes(2, 20, 100).size(); // small enough for a write buffer
    const qint64 largePage = SamplePage::bytes(2, 140, 200).size();
    QTest::newRow("logo cut midway") << 140 << 200 << logo / 2;
    QTest::newRow("large page one byte short") << 140 << 200 << largePage - 1;
    QTest::newRow("medium page cut midway, logo whole") << 20 << 100 << (logo + mediumPage) / 2;
}

// The limit is a child's own, with SIGXFSZ ignored so that the write fails instead of the process.
void WriteFaultsTest::fileSizeLimit()
{
    QFETCH(int, rows);
    QFETCH(int, textLength);
    QFETCH(qint64, limit);
    QTemporaryDir folder;
    const auto first = runWriter({u"write"_qs, folder.path(), u"1"_qs, u"2"_qs, u"10"_qs});
    QCOMPARE(first, std::pair(0, QStringList{u"ok"_qs}));

    const auto [code, lines] =
        runWriter({u"write"_qs, folder.path(), u"2"_qs, QString::number(rows), QString::number(textLength)}, [limit] {
            const rlimit size{rlim_t(limit), rlim_t(limit)};
            setrlimit(RLIMIT_FSIZE, &size);
            std::signal(SIGXFSZ, SIG_IGN);
        });
    verifyKept(folder.path(), SamplePage::bytes(1, 2, 10), SamplePage::logo());
    QCOMPARE(code, 3);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(u"failed\t"_qs) && lines[0].size() > 7, qPrintable(lines[0]));
}

// Root writes into any folder whatever its permission bits, so the child becomes nobody first,
// running a copy of the writer from a folder open to all (the build folder may not be).
void WriteFaultsTest::folderLockedForAnUnprivilegedUser()
{
    QTemporaryDir folder, programFolder;
    auto unlock = qScopeGuard([&] {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    std::function<void()> inChild;
    QString program = QStringLiteral(PAGE_WRITER);
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
    const auto [code, lines] = runWriter({u"write-then-lock"_qs, folder.path()}, inChild, program);
    QVERIFY2(code != 97, "the writer could not become an unprivileged user");
    QCOMPARE(code, 3);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], u"ok"_qs);
    QVERIFY2(lines[1].startsWith(u"failed\t"_qs) && lines[1].size() > 7, qPrintable(lines[1]));
    verifyKept(folder.path(), SamplePage::bytes(1, 2, 10), SamplePage::logo());
}

void WriteFaultsTest::faultThroughTheQuizScreen_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("room"); // bytes left after the logo on a full tmpfs; -1 for a read-only mount
    QTest::newRow("full disk, page cut midway") << 140 << 8192;
    QTest::newRow("disk already full") << 2 << 0;
    QTest::newRow("read-only bind mount") << 30 << -1;
}

// A first quiz's page is written while all is well; the second quiz's page then meets the fault,
// and once the fault is gone the same press writes it whole.
void WriteFaultsTest::faultThroughTheQuizScreen()
{
    QFETCH(int, questions);
    QFETCH(int, room);
    if (!g_noMountReason.isEmpty())
        QSKIP(qPrintable(g_noMountReason));
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.path());
    if (room >= 0 && mount("tevrin-full", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=512k,mode=0700") != 0)
        QSKIP(qPrintable(systemError("no small tmpfs can be mounted")));
    bool mounted = room >= 0;
    auto unmount = qScopeGuard([&] {
        if (mounted)
            umount2(path.constData(), MNT_DETACH);
    });

    FakeServices services(folder.path(), QString());
    ScreenFlow flow(services);
    playToLastQuestion(flow, 2)->Nextbtn_Click();
    QCOMPARE(services.openedPages.size(), 1);
    const QByteArray page = fileBytes(folder.filePath(u"Results.htm"_qs));
    const QByteArray logo = fileBytes(folder.filePath(u"logo.f"_qs));
    QCOMPARE(parsedTotal(page), 2);
    services.answers.enqueue(true);
    flow.Quiz->home_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QuizScreen* second = playToLastQuestion(flow, questions);

    const QString fillerPath = folder.filePath(u"filler"_qs);
    if (room >= 0) {
        const int filler = open(QFile::encodeName(fillerPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray block(4096, 'f');
        off_t filled = 0;
        for (ssize_t written = 0; written >= 0; written = write(filler, block.constData(), block.size()))
            filled += written;
        QCOMPARE(errno, ENOSPC);
        QVERIFY(ftruncate(filler, filled - (room ? (logo.size() + 4095) / 4096 * 4096 + room : 0)) == 0);
        close(filler);
    } else {
        if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
            QSKIP(qPrintable(systemError("no bind mount")));
        mounted = true;
        QVERIFY2(mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0,
                 qPrintable(systemError("remount read-only")));
    }

    second->Nextbtn_Click();
    verifyKept(folder.path(), page, logo, room >= 0 ? QStringList{u"filler"_qs} : QStringList{});
    QCOMPARE(services.messages.size(), 1);
    QVERIFY(!services.messages[0].text.isEmpty());
    QCOMPARE(services.messages[0].parent.data(), second);
    QCOMPARE(services.openedPages.size(), 1);

    if (room >= 0) {
        QVERIFY(QFile::remove(fillerPath));
    } else {
        QVERIFY(umount2(path.constData(), 0) == 0);
        mounted = false;
    }
    second->Nextbtn_Click();
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.openedPages.size(), 2);
    const QByteArray newPage = fileBytes(folder.filePath(u"Results.htm"_qs));
    QCOMPARE(parsedTotal(newPage), questions);
    QVERIFY2(newPage.size() > room, "the page would have fitted: the failure was not midway");
    verifyKept(folder.path(), newPage, logo);
}

int main(int argc, char* argv[])
{
    // Before the toolkit starts any thread, so that the whole process shares the namespace; the
    // mounts then never show outside this process, and vanish with it.
    if (unshare(CLONE_NEWNS) != 0)
        g_noMountReason = systemError("no mount namespace of its own (unshare)");
    else if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        g_noMountReason = systemError("the mounts cannot be made private");
    QApplication app(argc, argv);
    WriteFaultsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "write_faults_test.moc"
