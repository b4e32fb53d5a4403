// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of quizzes of random length played with random clicks: skipped first questions,
// repeated clicks, Home answered No, several Result presses. After each one the drawn
// questions, the counters, the rows and the written page must agree with what was played.
#include "fake_services.h"
#include "page_check.h"
#include "quiz/answer_button.h"
#include "quiz/questions.h"
#include "quiz/quiz_screen.h"
#include "quiz/quiz_session.h"
#include "quiz/random_source.h"
#include "report/results_report.h"
#include "report/results_store.h"
#include "shell/screen_flow.h"
#include "shell/welcome_screen.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

constexpr int SessionQuizzes = 10000;
constexpr int ScreenQuizzes = 300;
constexpr std::uint64_t DefaultSeed = 20240611;

// A reproducible stand-in for the clock-seeded source, so that a failing quiz can be replayed.
class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(std::uint64_t seed) : m_engine(seed) {}
    void Reseed() override {}
    float NextValue() override { return static_cast<float>(m_engine() >> 40) * (1.0f / 16777216.0f); }

private:
    std::mt19937_64 m_engine;
};

// What the player did, as the test saw it.
struct Played
{
    struct Row
    {
        QString question;
        QString rightAnswer;
        QString chosenAnswer;
        bool right = false;
    };
    QList<Row> rows;
    int right = 0;
    int wrong = 0;
};

// Checks a written page against the play; returns an empty text when they agree.
QString pageMismatch(const QByteArray& bytes, const Played& played, int totQues)
{
    PageCheck::Page page;
    QString error;
    if (!PageCheck::parse(bytes, page, error))
        return error;
    if (page.rightCount != played.right || page.wrongCount != played.wrong || page.totalQuestions != totQues)
        return u"totals %1/%2/%3 instead of %4/%5/%6"_qs.arg(page.rightCount)
            .arg(page.wrongCount)
            .arg(page.totalQuestions)
            .arg(played.right)
            .arg(played.wrong)
            .arg(totQues);
    if (page.rows.size() != played.rows.size())
        return u"%1 rows for %2 answers"_qs.arg(page.rows.size()).arg(played.rows.size());
    for (qsizetype i = 0; i < page.rows.size(); ++i) {
        const PageCheck::Row& got = page.rows[i];
        const Played::Row& want = played.rows[i];
        if (got.bold == want.right || got.question != PageCheck::cellBytes(want.question) ||
            got.rightAnswer != PageCheck::cellBytes(want.rightAnswer) ||
            got.chosenAnswer != PageCheck::cellBytes(want.chosenAnswer))
            return u"row %1 does not show the answer given to \"%2\""_qs.arg(i + 1).arg(want.question);
    }
    return {};
}

// The bank indices drawn so far must be distinct, in 1..140, and name distinct questions; the
// latest one is the current entry. `seen` holds the indices checked at earlier calls.
QString drawMismatch(const QuestionDraw& draw, QSet<int>& seen)
{
    if (draw.UsedIndices.size() != std::size_t(draw.Taken) + 1 || seen.size() != draw.Taken - 1)
        return u"%1 slots after %2 draws"_qs.arg(draw.UsedIndices.size()).arg(draw.Taken);
    const int index = draw.UsedIndices.back();
    if (index < 1 || index > Questions::BankSize)
        return u"index %1 drawn"_qs.arg(index);
    if (seen.contains(index))
        return u"question %1 drawn twice"_qs.arg(index);
    seen.insert(index);
    const auto& entry = Questions::QuesBank[std::size_t(index)];
    if (!entry || !(draw.CurrentEntry == *entry))
        return u"the current entry is not the one last drawn"_qs;
    return {};
}

// At the end of a quiz: the whole list once more, and no question text twice either.
QString drawListMismatch(const QuestionDraw& draw)
{
    QSet<int> indices;
    QSet<QString> questions;
    for (int j = 1; j <= draw.Taken; ++j) {
        const int index = draw.UsedIndices[std::size_t(j)];
        if (index < 1 || index > Questions::BankSize || indices.contains(index))
            return u"slot %1 holds index %2"_qs.arg(j).arg(index);
        indices.insert(index);
        questions.insert(Questions::QuesBank[std::size_t(index)]->question());
    }
    return questions.size() == draw.Taken ? QString() : u"a question text came up twice"_qs;
}

} // namespace

class RandomPlayTest : public QObject
{
    Q_OBJECT

private:
    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_choices); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_choices); }
    // Mostly any length, with the two ends of the range played often.
    int quizLength()
    {
        const int kind = pick(0, 9);
        return kind == 0 ? 2 : kind == 1 ? 140 : pick(2, 140);
    }

    void playSession(int quiz);
    void playScreen(int quiz);

    std::uint64_t m_seed = DefaultSeed;
    std::mt19937_64 m_choices;
    QByteArray m_logo = QByteArrayLiteral("GIF89a logo stand-in");
    // The screens write real files: into memory-backed /dev/shm where there is one, to keep the run short.
    QTemporaryDir m_folder{QDir(u"/dev/shm"_qs).exists() ? u"/dev/shm/tevrin-play-XXXXXX"_qs
                                                         : QDir::tempPath() + u"/tevrin-play-XXXXXX"_qs};
    FakeServices m_services{m_folder.path(), QString()};
    ScreenFlow m_flow{m_services};

private Q_SLOTS:
    void initTestCase();
    void sessionsWithReportAndStore();
    void quizScreensThroughTheirHandlers();
};

void RandomPlayTest::initTestCase()
{
    if (const QByteArray given = qgetenv("TEVRIN_PLAY_SEED"); !given.isEmpty())
        m_seed = given.toULongLong();
    qInfo("random play seed %llu (set TEVRIN_PLAY_SEED to replay another)", static_cast<unsigned long long>(m_seed));
    m_choices.seed(m_seed);
    Questions::LoadQuestions();
}

void RandomPlayTest::playSession(int quiz)
{
    const int totQues = quizLength();
    SeededRandom random(m_choices());
    QuizSession session(static_cast<qint16>(totQues), random);
    ResultsReport report;
    Played played;
    QSet<int> drawn;
    session.Form_Load();

    for (int q = 1; q <= totQues; ++q) {
        QCOMPARE(session.Taken(), q);
        QCOMPARE(session.progressText(), u"%1/%2"_qs.arg(q).arg(totQues));
        QCOMPARE(session.onLastQuestion(), q == totQues);
        const QString problem = drawMismatch(session.draw(), drawn);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        const QuestionEntry entry = session.CurrentEntry();
        // Only the first question can be passed over: Next is enabled before any answer there.
        const bool skip = q == 1 && chance(0.3);
        const int clicks = skip ? 0 : pick(1, 4);
        for (int c = 0; c < clicks; ++c) {
            const int index = pick(0, 3);
            const QuizSession::Choice choice = session.Option1_Click(index);
            QCOMPARE(choice.scored, c == 0);
            if (!choice.scored)
                continue;
            const bool right = index + 1 == entry.rightAnswer();
            QCOMPARE(choice.right, right);
            QCOMPARE(choice.rightIndex, entry.rightAnswer() - 1);
            (right ? played.right : played.wrong) += 1;
            played.rows.append({entry.question(), entry.answer(choice.rightIndex), entry.answer(index), right});
            report.AddAnswerRow(entry.question(), entry.answer(choice.rightIndex), entry.answer(index), right);
        }
        QCOMPARE(session.Answered, clicks > 0);
        if (q < totQues)
            session.NextQuestion();
    }
    // Never a draw past the chosen count.
    session.NextQuestion();
    QCOMPARE(session.Taken(), totQues);
    const QString listProblem = drawListMismatch(session.draw());
    QVERIFY2(listProblem.isEmpty(), qPrintable(listProblem));
    QCOMPARE(int(session.RightCount), played.right);
    QCOMPARE(int(session.WrongCount), played.wrong);

    QList<std::pair<QString, QByteArray>> written;
    const ResultsStore store(u"/quiz/program"_qs, QString(), [&](const QString& path, const QByteArray& bytes) {
        written.append({path, bytes});
        return WriteResult{true, {}};
    });
    const int presses = pick(1, 3);
    QByteArray firstPage;
    for (int press = 0; press < presses; ++press) {
        written.clear();
        const WriteOutcome outcome =
            report.WriteResultsPage(QString::number(session.RightCount), QString::number(session.WrongCount),
                                    static_cast<qint16>(totQues), m_logo, store);
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.pagePath, u"/quiz/program/Results.htm"_qs);
        QCOMPARE(written.size(), 2);
        QCOMPARE(written[0].first, u"/quiz/program/logo.f"_qs);
        QCOMPARE(written[0].second, m_logo);
        QCOMPARE(written[1].first, outcome.pagePath);
        if (press == 0) {
            firstPage = written[1].second;
            const QString mismatch = pageMismatch(firstPage, played, totQues);
            QVERIFY2(mismatch.isEmpty(), qPrintable(u"quiz %1: %2"_qs.arg(quiz).arg(mismatch)));
        } else {
            QVERIFY2(written[1].second == firstPage, "a later Result press wrote another page");
        }
    }
}

void RandomPlayTest::sessionsWithReportAndStore()
{
    for (int quiz = 1; quiz <= SessionQuizzes; ++quiz) {
        playSession(quiz);
        if (QTest::currentTestFailed()) {
            qWarning("... in quiz %d of seed %llu", quiz, static_cast<unsigned long long>(m_seed));
            return;
        }
    }
}

void RandomPlayTest::playScreen(int quiz)
{
    QTemporaryDir& folder = m_folder;
    FakeServices& services = m_services;
    ScreenFlow& flow = m_flow;
    QVERIFY(folder.isValid());

    const int totQues = quizLength();
    flow.StartQuiz(static_cast<qint16>(totQues));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QuizScreen* screen = flow.Quiz;
    QVERIFY(screen && !flow.Welcome);
    auto* progress = screen->findChild<QLabel*>(u"Label3"_qs);
    auto* rightCount = screen->findChild<QLabel*>(u"Label6"_qs);
    auto* wrongCount = screen->findChild<QLabel*>(u"Label7"_qs);
    auto* question = screen->findChild<QLabel*>(u"Question"_qs);
    auto* next = screen->findChild<QPushButton*>(u"Nextbtn"_qs);
    QList<AnswerButton*> options;
    for (int i = 0; i < 4; ++i)
        options.append(screen->findChild<AnswerButton*>(u"Option1_%1"_qs.arg(i)));
    QVERIFY(progress && rightCount && wrongCount && question && next && !options.contains(nullptr));

    Played played;
    QSet<int> drawn;
    const auto screenState = [&] {
        QStringList state = {progress->text(),
                             rightCount->text(),
                             wrongCount->text(),
                             question->text(),
                             next->text(),
                             next->isEnabled() ? u"on"_qs : u"off"_qs,
                             screen->report().tableText()};
        for (AnswerButton* option : options)
            state << option->text() << option->textColour().name() << QString::number(option->isChecked());
        return state;
    };

    for (int q = 1; q <= totQues; ++q) {
        QCOMPARE(progress->text(), u"%1/%2"_qs.arg(q).arg(totQues));
        QCOMPARE(next->text(), q == totQues ? u"Result"_qs : u"Next"_qs);
        QCOMPARE(next->isEnabled(), q == 1);
        for (AnswerButton* option : options)
            QVERIFY(!option->isChecked() && option->textColour() == Qt::black);
        const QString problem = drawMismatch(screen->session()->draw(), drawn);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        if (chance(0.05)) {
            const QStringList before = screenState();
            services.answers.enqueue(false);
            screen->home_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(flow.Quiz == screen && !flow.Welcome, "Home answered No left the quiz");
            QCOMPARE(screenState(), before);
        }
        if (q > 1 && chance(0.1)) {
            next->click(); // disabled until answered: nothing happens
            QCOMPARE(progress->text(), u"%1/%2"_qs.arg(q).arg(totQues));
        }

        const QuestionEntry entry = screen->session()->CurrentEntry();
        QCOMPARE(question->text(), entry.question());
        const bool skip = q == 1 && chance(0.3);
        const int clicks = skip ? 0 : pick(1, 4);
        for (int c = 0; c < clicks; ++c) {
            const int index = pick(0, 3);
            if (chance(0.5))
                options[index]->click();
            else
                screen->Option1_Click(index);
            if (c > 0)
                continue;
            const int rightIndex = entry.rightAnswer() - 1;
            const bool right = index == rightIndex;
            (right ? played.right : played.wrong) += 1;
            played.rows.append({entry.question(), entry.answer(rightIndex), entry.answer(index), right});
            QCOMPARE(options[index]->textColour(), right ? QColor(0, 128, 0) : QColor(255, 0, 0));
            QCOMPARE(options[rightIndex]->textColour(), QColor(0, 128, 0));
        }
        QCOMPARE(rightCount->text(), QString::number(played.right));
        QCOMPARE(wrongCount->text(), QString::number(played.wrong));
        QCOMPARE(next->isEnabled(), q == 1 || clicks > 0);
        if (q < totQues) {
            if (chance(0.5))
                next->click();
            else
                screen->Nextbtn_Click();
        }
    }

    const QString listProblem = drawListMismatch(screen->session()->draw());
    QVERIFY2(listProblem.isEmpty(), qPrintable(listProblem));

    const QString pagePath = folder.filePath(u"Results.htm"_qs);
    QByteArray firstPage;
    const int presses = pick(1, 3);
    for (int press = 0; press < presses; ++press) {
        const qsizetype opened = services.openedPages.size();
        next->click();
        QVERIFY2(services.messages.isEmpty(), qPrintable(services.messages.value(0).text));
        QCOMPARE(services.openedPages.size(), opened + 1);
        QCOMPARE(QDir::cleanPath(services.openedPages.last()), QDir::cleanPath(pagePath));
        QFile file(pagePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (press == 0) {
            firstPage = bytes;
            const QString mismatch = pageMismatch(bytes, played, totQues);
            QVERIFY2(mismatch.isEmpty(), qPrintable(u"screen quiz %1: %2"_qs.arg(quiz).arg(mismatch)));
        } else {
            QVERIFY2(bytes == firstPage, "a later Result press wrote another page");
        }
        QCOMPARE(next->text(), u"Result"_qs);
        QVERIFY(next->isEnabled());
    }
    // Clicks after the end change nothing.
    const QStringList finished = screenState();
    screen->Option1_Click(pick(0, 3));
    QCOMPARE(screenState(), finished);

    services.answers.enqueue(true);
    screen->home_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!flow.Quiz && flow.Welcome);
    QCOMPARE(flow.Welcome->findChild<QLineEdit*>(u"Text1"_qs)->text(), u"30"_qs);
}

void RandomPlayTest::quizScreensThroughTheirHandlers()
{
    for (int quiz = 1; quiz <= ScreenQuizzes; ++quiz) {
        playScreen(quiz);
        if (QTest::currentTestFailed()) {
            qWarning("... in screen quiz %d of seed %llu", quiz, static_cast<unsigned long long>(m_seed));
            return;
        }
    }
}

QTEST_MAIN(RandomPlayTest)
#include "random_play_test.moc"
