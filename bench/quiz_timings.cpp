// SPDX-License-Identifier: GPL-3.0-or-later
// In-process timings of a quiz, each from the click to the moment the screen has been painted:
// Start to the first question, every Next of a 140-question quiz, the Result press that writes a
// 140-row page, and the last draw of a 140-question quiz with the program's own random source.
// Prints "name value unit" lines: medians over 15 quizzes (of each quiz's worst Next for
// next_question_worst_ms), and means over 1,000 quizzes for the last draw.
#include "quiz/question_draw.h"
#include "quiz/questions.h"
#include "quiz/quiz_screen.h"
#include "quiz/random_source.h"
#include "report/results_store.h"
#include "screen_flow.h"
#include "screen_fonts.h"
#include "shell_services.h"
#include "welcome_screen.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Quizzes = 15;
constexpr int DrawQuizzes = 1000;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "quiz timings: %s\n", what);
    std::exit(1);
}

// The desktop of the program, less what a benchmark must not do: no page is handed to a browser,
// Home is always confirmed. Pages go to a folder on the same disk as the program's.
class BenchServices final : public ShellServices
{
public:
    explicit BenchServices(QString folder) : m_folder(std::move(folder)) {}
    void showMessage(QWidget*, const QString&, const QString& text) override
    {
        std::fprintf(stderr, "quiz timings: message \"%s\"\n", qUtf8Printable(text));
        ++messages;
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    void openPage(const QString&) override { ++opened; }
    ResultsStore resultsStore() const override { return ResultsStore(m_folder, QString()); }
    std::unique_ptr<RandomSource> makeRandomSource() override { return m_desktop.makeRandomSource(); }
    void exitProgram() override {}

    int messages = 0;
    int opened = 0;

private:
    DesktopServices m_desktop;
    QString m_folder;
};

// Notes paints of the welcome screen and of the quiz screen's question, which changes with every question.
class PaintWatch : public QObject
{
public:
    bool welcomePainted = false;
    bool questionPainted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (watched->objectName() == u"Welcome")
                welcomePainted = true;
            else if (watched->objectName() == u"Question")
                questionPainted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void waitFor(const bool& flag)
{
    const QDeadlineTimer deadline(10000);
    while (!flag && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!flag)
        fail("a screen was never painted");
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct QuizTimes
{
    double start = 0;
    double worstNext = 0;
    std::vector<double> nexts;
    double result = 0;
};

QuizTimes timeOneQuiz(ScreenFlow& flow, BenchServices& services, PaintWatch& watch)
{
    QuizTimes times;
    flow.ShowWelcome(); // shown already after Home
    waitFor(watch.welcomePainted);
    flow.Welcome->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("140"));

    watch.questionPainted = false;
    Clock::time_point start = Clock::now();
    flow.Welcome->Start_Click();
    waitFor(watch.questionPainted);
    times.start = millisecondsSince(start);
    watch.welcomePainted = false;
    settle();

    QuizScreen* quiz = flow.Quiz;
    if (!quiz)
        fail("Start did not show the quiz screen");
    auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Nextbtn"));
    for (int q = 1; q <= 140; ++q) {
        quiz->Option1_Click(q % 4);
        settle();
        if (q == 140)
            break;
        watch.questionPainted = false;
        start = Clock::now();
        next->click();
        waitFor(watch.questionPainted);
        times.nexts.push_back(millisecondsSince(start));
        times.worstNext = std::max(times.worstNext, times.nexts.back());
    }
    if (next->text() != QStringLiteral("Result"))
        fail("no Result after 140 questions");
    const int opened = services.opened;
    start = Clock::now();
    next->click();
    times.result = millisecondsSince(start);
    if (services.opened != opened + 1 || services.messages)
        fail("the results page was not written");
    settle();
    quiz->home_Click();
    settle();
    return times;
}

void printFigure(const char* name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name, value, unit);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ScreenFonts::InstallTahoma();
    QTemporaryDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/quiz-timings-XXXXXX"));
    if (!folder.isValid())
        fail("no folder for the results pages");
    BenchServices services(folder.path());
    PaintWatch watch;
    app.installEventFilter(&watch);
    // Wakes the waits now and then, whatever the platform delivers.
    QTimer wake;
    wake.start(20);

    std::vector<double> starts, worstNexts, allNexts, results;
    {
        ScreenFlow flow(services);
        timeOneQuiz(flow, services, watch); // warms the caches; not counted
        for (int i = 0; i < Quizzes; ++i) {
            const QuizTimes times = timeOneQuiz(flow, services, watch);
            starts.push_back(times.start);
            worstNexts.push_back(times.worstNext);
            allNexts.insert(allNexts.end(), times.nexts.begin(), times.nexts.end());
            results.push_back(times.result);
        }
    }
    printFigure("start_to_first_question_ms", median(starts), "ms");
    printFigure("next_question_worst_ms", median(worstNexts), "ms");
    printFigure("next_question_median_ms", median(allNexts), "ms");
    printFigure("result_write_ms", median(results), "ms");

    // The last draw of a 140-question quiz must find the one index left.
    Questions::LoadQuestions();
    double attempts = 0;
    double microseconds = 0;
    for (int quiz = 0; quiz < DrawQuizzes; ++quiz) {
        ClockMixedRandom random;
        QuestionDraw draw(random);
        for (int q = 1; q < 140; ++q)
            draw.DrawQuestion();
        const Clock::time_point start = Clock::now();
        draw.DrawQuestion();
        microseconds += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        attempts += draw.lastAttempts();
        if (draw.Taken != 140)
            fail("the last draw did not complete the quiz");
    }
    printFigure("draw_last_of_140_attempts", attempts / DrawQuizzes, "attempts");
    printFigure("draw_last_of_140_us", microseconds / DrawQuizzes, "us");
    return 0;
}
