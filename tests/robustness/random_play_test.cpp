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
#include "report/results_report.h"
#include "shell/screen_flow.h"
#include "shell/welcome_screen.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

// A reproducible stand-in for the clock-seeded source, so that a failing quiz can be replayed.
struct SeededRandom final : RandomSource
{
    explicit SeededRandom(std::uint64_t seed) : engine(seed) {}
    void Reseed() override {}
    float NextValue() override { return static_cast<float>(engine() >> 40) * (1.0f / 16777216.0f); }
    std::mt19937_64 engine;
};

// What the player did, as the test saw it.
struct Played
{
    QList<PageCheck::Row> rows;
    int right = 0;
    int wrong = 0;

    void add(const QuestionEntry& entry, int chosen)
    {
        const bool isRight = chosen == entry.rightAnswer() - 1;
        ++(isRight ? right : wrong);
        rows.append({!isRight, PageCheck::cellBytes(entry.question()),
                     PageCheck::cellBytes(entry.answer(entry.rightAnswer() - 1)),
                     PageCheck::cellBytes(entry.answer(chosen))});
    }

    // Empty when the page is well formed and shows this play, its totals once.
    QString pageMismatch(const QByteArray& bytes, int totQues) const
    {
        PageCheck::Page page;
        QString error;
        if (!PageCheck::parse(bytes, page, error))
            return error;
        if (QList{page.rightCount, page.wrongCount, page.totalQuestions} != QList{right, wrong, totQues})
            return u"totals %1/%2/%3 for a quiz of %6 with %4 right and %5 wrong"_qs.arg(page.rightCount)
                .arg(page.wrongCount)
                .arg(page.totalQuestions)
                .arg(right)
                .arg(wrong)
                .arg(totQues);
        return page.rows == rows ? QString() : u"the rows do not show the answers given"_qs;
    }
};

// Empty when the quiz drew `count` questions of the bank, no index and no text twice.
QString drawMismatch(const QuestionDraw& draw, int count)
{
    QSet<QString> questions;
    for (std::size_t j = 1; j < draw.UsedIndices.size(); ++j)
        if (const int index = draw.UsedIndices[j]; index >= 1 && index <= Questions::BankSize)
            questions.insert(Questions::QuesBank[std::size_t(index)]->question());
    if (draw.Taken != count || draw.UsedIndices.size() != std::size_t(count) + 1 || questions.size() != count)
        return u"%1 questions in %2 draws for a quiz of %3"_qs.arg(questions.size()).arg(draw.Taken).arg(count);
    return {};
}

} // namespace

class RandomPlayTest : public QObject
{
    Q_OBJECT

    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_choices); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_choices); }
    // Any length, with the two ends of the range played often.
    int quizLength()
    {
        const int kind = pick(0, 9);
        return kind == 0 ? 2 : kind == 1 ? 140 : pick(2, 140);
    }
    // Only the first question can be passed over: Next is enabled before any answer there.
    int clicksFor(int q) { return q == 1 && chance(0.3) ? 0 : pick(1, 4); }
    void playSession();
    void playScreen();
    void repeat(void (RandomPlayTest::*play)(), int quizzes);
    void pressResult(const std::function<QByteArray()>& press, const Played& played, int totQues);

    std::uint64_t m_seed =
        qEnvironmentVariableIsSet("TEVRIN_PLAY_SEED") ? qgetenv("TEVRIN_PLAY_SEED").toULongLong() : 20240611;
    std::mt19937_64 m_choices{m_seed};
    // The screens write real files: into memory-backed /dev/shm where there is one, to keep the run short.
    QTemporaryDir m_folder{(QDir(u"/dev/shm"_qs).exists() ? u"/dev/shm"_qs : QDir::tempPath()) + u"/tevrin-XXXXXX"_qs};
    FakeServices m_services{m_folder.path(), QString()};
    ScreenFlow m_flow{m_services};

private Q_SLOTS:
    void initTestCase()
    {
        qInfo("random play seed %llu (set TEVRIN_PLAY_SEED to replay another)",
              static_cast<unsigned long long>(m_seed));
        QVERIFY(m_folder.isValid());
        Questions::LoadQuestions();
    }
    void sessionsWithReportAndStore() { repeat(&RandomPlayTest::playSession, 10000); }
    void quizScreensThroughTheirHandlers() { repeat(&RandomPlayTest::playScreen, 300); }
};

void RandomPlayTest::repeat(void (RandomPlayTest::*play)(), int quizzes)
{
    for (int quiz = 1; quiz <= quizzes; ++quiz) {
        (this->*play)();
        if (QTest::currentTestFailed())
            return qWarning("... in quiz %d of seed %llu", quiz, static_cast<unsigned long long>(m_seed));
    }
}

// One to three Result presses: the first page shows the play, the later ones write it again.
void RandomPlayTest::pressResult(const std::function<QByteArray()>& press, const Played& played, int totQues)
{
    const QByteArray first = press();
    const QString mismatch = played.pageMismatch(first, totQues);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    for (int more = pick(0, 2); more > 0; --more)
        QVERIFY2(press() == first, "a later Result press wrote another page");
}

void RandomPlayTest::playSession()
{
    const int totQues = quizLength();
    SeededRandom random(m_choices());
    QuizSession session(static_cast<qint16>(totQues), random);
    ResultsReport report;
    Played played;
    session.Form_Load();
    for (int q = 1; q <= totQues; ++q) {
        const QuestionEntry entry = session.CurrentEntry();
        const int clicks = clicksFor(q);
        for (int c = 0; c < clicks; ++c) {
            const int index = pick(0, 3);
            const QuizSession::Choice choice = session.Option1_Click(index);
            QCOMPARE(choice.scored, c == 0);
            if (!choice.scored)
                continue;
            QCOMPARE(choice.rightIndex, entry.rightAnswer() - 1);
            played.add(entry, index);
            report.AddAnswerRow(entry.question(), entry.answer(choice.rightIndex), entry.answer(index), choice.right);
        }
        session.NextQuestion(); // past the last question too: never a draw past the count
    }
    const QString draws = drawMismatch(session.draw(), totQues);
    QVERIFY2(draws.isEmpty(), qPrintable(draws));
    QCOMPARE(int(session.RightCount), played.right);
    QCOMPARE(int(session.WrongCount), played.wrong);

    QByteArray page;
    const ResultsStore store(u"/quiz"_qs, QString(), [&](const QString& path, const QByteArray& bytes) {
        if (path.endsWith(u"Results.htm"_qs))
            page = bytes;
        return WriteResult{true, {}};
    });
    pressResult(
        [&] {
            return report.WriteResultsPage(QString::number(played.right), QString::number(played.wrong),
                                           static_cast<qint16>(totQues), QByteArrayLiteral("GIF89a"), store)
                           .ok
                       ? page
                       : QByteArray("not written");
        },
        played, totQues);
}

void RandomPlayTest::playScreen()
{
    const int totQues = quizLength();
    m_flow.StartQuiz(static_cast<qint16>(totQues));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QuizScreen* screen = m_flow.Quiz;
    QVERIFY(screen);
    const auto text = [&](const char* name) { return screen->findChild<QLabel*>(QLatin1String(name))->text(); };
    auto* next = screen->findChild<QPushButton*>(u"Nextbtn"_qs);
    QList<AnswerButton*> options;
    for (int i = 0; i < 4; ++i)
        options.append(screen->findChild<AnswerButton*>(u"Option1_%1"_qs.arg(i)));
    const auto state = [&] {
        QStringList all;
        all << text("Label3") << text("Label6") << text("Label7") << text("Question") << next->text()
            << QString::number(next->isEnabled()) << screen->report().tableText();
        for (AnswerButton* option : options)
            all << option->text() << option->textColour().name() << QString::number(option->isChecked());
        return all;
    };

    Played played;
    for (int q = 1; q <= totQues; ++q) {
        if (chance(0.1)) { // Home answered No, or Next before an answer: nothing changes
            const QStringList before = state();
            if (q > 1 && chance(0.5)) {
                next->click();
            } else {
                m_services.answers.enqueue(false);
                screen->home_Click();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            QVERIFY2(m_flow.Quiz == screen, "Home answered No left the quiz");
            QCOMPARE(state(), before);
        }
        const QuestionEntry entry = screen->session()->CurrentEntry();
        const int clicks = clicksFor(q);
        for (int c = 0; c < clicks; ++c) {
            const int index = pick(0, 3);
            chance(0.5) ? options[index]->click() : screen->Option1_Click(index);
            if (c == 0)
                played.add(entry, index);
        }
        QCOMPARE(text("Label6"), QString::number(played.right));
        QCOMPARE(text("Label7"), QString::number(played.wrong));
        if (q < totQues)
            chance(0.5) ? next->click() : screen->Nextbtn_Click();
    }
    const QString draws = drawMismatch(screen->session()->draw(), totQues);
    QVERIFY2(draws.isEmpty(), qPrintable(draws));

    const QString pagePath = m_folder.filePath(u"Results.htm"_qs);
    pressResult(
        [&] {
            const qsizetype opened = m_services.openedPages.size();
            next->click();
            QFile file(pagePath);
            const bool shown = m_services.messages.isEmpty() && m_services.openedPages.size() == opened + 1 &&
                               QDir::cleanPath(m_services.openedPages.last()) == QDir::cleanPath(pagePath);
            return shown && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("not written and opened");
        },
        played, totQues);
    const QStringList finished = state();
    screen->Option1_Click(pick(0, 3));
    QCOMPARE(state(), finished);

    m_services.answers.enqueue(true);
    screen->home_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_flow.Quiz && m_flow.Welcome);
}

QTEST_MAIN(RandomPlayTest)
#include "random_play_test.moc"
