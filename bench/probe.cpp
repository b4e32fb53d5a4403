// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own main() is built in as programMain (see CMakeLists.txt), behind a mode:
//   tevrin_bench_probe [rounds]  runs the program and the floors, prints "name value unit" lines
//   tevrin_bench_probe paint     the program up to the welcome screen's first paint
//   tevrin_bench_probe quiz      the program through one 140-question quiz to Result
// Each round starts the program and the two floors (tevrin_bench_floor bare, text) in a rotating
// order, after two rounds of warm-up: start-up runs from the spawn to the first paint, peak RSS
// is the whole process's. Then QuizRuns quizzes: each time runs from the click until the question
// has been painted (Result: until the page is written and handed to the browser). Every figure
// is the median over the runs; the quiz figures are each run's worst Next and median Next. The
// last draw of a 140-question quiz is averaged over DrawQuizzes quizzes in this process.
#include "first_paint.h"
#include "quiz/question_draw.h"
#include "quiz/questions.h"
#include "quiz/quiz_screen.h"
#include "quiz/random_source.h"
#include "welcome_screen.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

int programMain(int argc, char* argv[]);

namespace {

using Clock = std::chrono::steady_clock;
constexpr int QuizRuns = 7;
constexpr int DrawQuizzes = 1000;

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    std::exit(1);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Stands in for the browser, and notes paints of the question, which changes with every question.
class QuizWatch : public QObject
{
    Q_OBJECT

public:
    bool painted = false;
    int opened = 0;

public Q_SLOTS:
    void open(const QUrl&) { ++opened; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        painted = painted || (event->type() == QEvent::Paint && watched->objectName() == u"Question");
        return false;
    }
};

double untilQuestionPainted(QuizWatch& watch, const std::function<void()>& click)
{
    QCoreApplication::processEvents(); // what the previous step left to paint is not counted
    watch.painted = false;
    const Clock::time_point start = Clock::now();
    click();
    for (const QDeadlineTimer deadline(10000); !watch.painted && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!watch.painted)
        fail("the question was never painted");
    return millisecondsSince(start);
}

void playQuiz(QWidget* window)
{
    auto* welcome = qobject_cast<WelcomeScreen*>(window);
    if (!welcome)
        fail("the first window painted is not the welcome screen");
    auto* watch = new QuizWatch;
    watch->setParent(qApp);
    qApp->installEventFilter(watch);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), watch, "open");
    (new QTimer(watch))->start(20); // wakes the waits whatever the platform delivers

    welcome->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("140"));
    const double start = untilQuestionPainted(*watch, [welcome] { welcome->Start_Click(); });
    QuizScreen* quiz = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        quiz = quiz ? quiz : qobject_cast<QuizScreen*>(top);
    if (!quiz)
        fail("Start did not show the quiz screen");
    auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Nextbtn"));
    std::vector<double> nexts;
    for (int q = 1; q < 140; ++q) {
        quiz->Option1_Click(q % 4);
        nexts.push_back(untilQuestionPainted(*watch, [next] { next->click(); }));
    }
    quiz->Option1_Click(0);
    QCoreApplication::processEvents();
    const Clock::time_point result = Clock::now();
    next->click(); // Result
    std::printf("start_to_first_question_ms %.3f ms\nnext_question_worst_ms %.3f ms\nnext_question_median_ms %.3f ms\n"
                "result_write_ms %.3f ms\n",
                start, *std::max_element(nexts.begin(), nexts.end()), median(nexts), millisecondsSince(result));
    if (watch->opened != 1)
        fail("the results page was not written");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCoreApplication::quit();
}

// Figures in the order first noted, each "name unit" with its samples.
std::vector<std::pair<std::string, std::vector<double>>> figures;

void note(const std::string& figure, double value)
{
    if (figure[0] == ' ')
        return; // a figure without a name is not kept
    auto it = std::find_if(figures.begin(), figures.end(), [&](const auto& f) { return f.first == figure; });
    (it == figures.end() ? figures.emplace_back(figure, std::vector<double>()) : *it).second.push_back(value);
}

double medianOf(const std::string& figure)
{
    return median(
        std::find_if(figures.begin(), figures.end(), [&](const auto& f) { return f.first == figure; })->second);
}

struct Probe
{
    const char* path;
    const char* mode;
    const char* startup; // the names its figures are noted under; none for an empty name
    const char* cpu;
    const char* rss;
};

// Runs a probe and notes what it prints, its start-up, the processor time it took until then
// and its peak RSS.
void run(const Probe& probe)
{
    int out[2];
    if (pipe(out) != 0)
        fail("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* arguments[] = {const_cast<char*>(probe.path), const_cast<char*>(probe.mode), nullptr};
    pid_t pid = 0;
    const long long spawned = Bench::monotonicNanoseconds();
    if (posix_spawn(&pid, probe.path, &actions, nullptr, arguments, environ) != 0)
        fail(std::string("cannot start ") + probe.path);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string output;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, std::size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(std::string(probe.path) + " " + probe.mode + " failed; it said: " + output);
    std::istringstream lines(output);
    double value = 0;
    for (std::string name, unit; lines >> name >> value && std::getline(lines, unit);) {
        if (name == "painted")
            note(probe.startup + std::string(" ms"), (value - double(spawned)) / 1e6);
        else if (name == "cpu")
            note(probe.cpu + unit, value);
        else
            note(name + unit, value);
    }
    note(probe.rss + std::string(" MiB"), double(usage.ru_maxrss) / 1024.0); // kibibytes on Linux
}

int launch(int rounds)
{
    const Probe probes[] = {
        {TEVRIN_BENCH_PROBE, "paint", "startup_to_first_paint", "startup_cpu", "peak_rss_to_first_paint"},
        {TEVRIN_BENCH_FLOOR, "bare", "startup_to_first_paint_bare_qt", "startup_cpu_bare_qt", "peak_rss_bare_qt"},
        {TEVRIN_BENCH_FLOOR, "text", "startup_to_first_paint_text_floor", "startup_cpu_text_floor",
         "peak_rss_text_floor"}};
    for (int round = -2; round < rounds; ++round) {
        if (round == 0)
            figures.clear(); // the first two rounds only warm up
        for (int i = 0; i < 3; ++i) {
            run(probes[(round + 3 + i) % 3]); // a rotating order cancels a drift of the machine's speed
        }
    }
    for (int i = 0; i < QuizRuns; ++i)
        run({TEVRIN_BENCH_PROBE, "quiz", "", "", "peak_rss"});
    // The last draw of a 140-question quiz must find the one index left.
    Questions::LoadQuestions();
    double attempts = 0, microseconds = 0;
    for (int quiz = 0; quiz < DrawQuizzes; ++quiz) {
        ClockMixedRandom random;
        QuestionDraw draw(random);
        for (int q = 1; q < 140; ++q)
            draw.DrawQuestion();
        const Clock::time_point begin = Clock::now();
        draw.DrawQuestion();
        microseconds += millisecondsSince(begin) * 1000;
        attempts += draw.lastAttempts();
    }
    note("draw_last_of_140_attempts attempts", attempts / DrawQuizzes);
    note("draw_last_of_140_us us", microseconds / DrawQuizzes);
    const double startup = medianOf("startup_to_first_paint ms");
    note("startup_ratio_vs_bare_qt ratio", startup / medianOf("startup_to_first_paint_bare_qt ms"));
    note("startup_ratio_vs_text_floor ratio", startup / medianOf("startup_to_first_paint_text_floor ms"));
    note("startup_cpu_ratio_vs_text_floor ratio", medianOf("startup_cpu ms") / medianOf("startup_cpu_text_floor ms"));
    note("rss_delta_vs_bare_qt_mib MiB", medianOf("peak_rss MiB") - medianOf("peak_rss_bare_qt MiB"));
    for (const auto& [figure, samples] : figures) {
        const std::size_t space = figure.find(' ');
        std::printf("%s %.3f%s\n", figure.substr(0, space).c_str(), median(samples), figure.c_str() + space);
    }
    return 0;
}

std::string s_mode;

void installWatch()
{
    if (s_mode == "paint")
        Bench::FirstPaint::watch();
    else if (s_mode == "quiz")
        Bench::FirstPaint::watch(playQuiz);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installWatch)

int main(int argc, char* argv[])
{
    s_mode = argc > 1 ? argv[1] : "";
    if (s_mode == "paint" || s_mode == "quiz")
        return programMain(1, argv);
    const int rounds = std::atoi(s_mode.c_str());
    return launch(rounds > 0 ? rounds : 30);
}

#include "probe.moc"
