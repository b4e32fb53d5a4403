// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, memory and quiz figures of the program, whose own start-up (RunProgram) is linked in.
// "tevrin_bench_probe [rounds]" runs in each round, in a rotating order, "tevrin_bench_probe quiz"
// (the program up to the welcome screen's first paint, then through a 140-question quiz to Result)
// and the floors "tevrin_bench_floor bare" and "... text", all after two rounds of warm-up, and
// prints the median of every figure as "name value unit", the ratios last. Start-up runs from the
// spawn until the first paint has reached the screen; each quiz time from the click until the
// question has been painted (Result: until the page is written and handed to the browser), of
// which a run reports its worst and its median Next. Peak RSS is the whole process's. The
// attempts of the last draw of a 140-question quiz are averaged over DrawQuizzes quizzes.
#include "app/startup.h"
#include "core/question_draw.h"
#include "core/questions.h"
#include "core/random_source.h"
#include "first_paint.h"
#include "screens/quiz_screen.h"
#include "screens/welcome_screen.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int DrawQuizzes = 1000;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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
    const double start = FirstPaint::now();
    click();
    while (!watch.painted && FirstPaint::now() - start < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!watch.painted)
        qFatal("the question was never painted");
    return FirstPaint::now() - start;
}

void playQuiz(QWidget* window)
{
    auto* welcome = qobject_cast<WelcomeScreen*>(window);
    if (!welcome)
        qFatal("the first window painted is not the welcome screen");
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
        qFatal("Start did not show the quiz screen");
    auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Nextbtn"));
    std::vector<double> nexts;
    for (int q = 1; q < 140; ++q) {
        quiz->Option1_Click(q % 4);
        nexts.push_back(untilQuestionPainted(*watch, [next] { next->click(); }));
    }
    quiz->Option1_Click(0);
    QCoreApplication::processEvents();
    const double result = FirstPaint::now();
    next->click(); // Result
    std::printf("start_to_first_question_ms %.3f ms\nnext_question_worst_ms %.3f ms\nnext_question_median_ms %.3f ms\n"
                "result_write_ms %.3f ms\n",
                start, *std::max_element(nexts.begin(), nexts.end()), median(nexts), FirstPaint::now() - result);
    if (watch->opened != 1)
        qFatal("the results page was not written");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCoreApplication::quit();
}

// The samples of each figure, by "name unit".
std::map<std::string, std::vector<double>> figures;

// Runs a probe and notes the figures it prints and its peak RSS, their names followed by `suffix`.
void run(const char* path, const char* mode, const std::string& suffix)
{
    int out[2];
    if (pipe(out) != 0)
        qFatal("no pipe");
    const double spawned = FirstPaint::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(path, path, mode, nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* output = fdopen(out[0], "r");
    char name[64], unit[16];
    double value = 0;
    while (std::fscanf(output, "%63s %lf %15s", name, &value, unit) == 3)
        figures[name + suffix + " " + unit].push_back(value -
                                                      (name == std::string("startup_to_first_paint") ? spawned : 0));
    std::fclose(output);
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("%s %s failed", path, mode);
    figures["peak_rss" + suffix + " MiB"].push_back(double(usage.ru_maxrss) / 1024); // kibibytes on Linux
}

int launch(int rounds)
{
    const char* const probes[][3] = {{TEVRIN_BENCH_PROBE, "quiz", ""},
                                     {TEVRIN_BENCH_FLOOR, "bare", "_bare_qt"},
                                     {TEVRIN_BENCH_FLOOR, "text", "_text_floor"}};
    for (int round = -2; round < rounds; ++round) {
        if (round == 0)
            figures.clear(); // the first two rounds only warm up
        for (int i = 0; i < 3; ++i) {
            const auto& p = probes[(round + 3 + i) % 3]; // a rotating order cancels a drift of the machine's speed
            run(p[0], p[1], p[2]);
        }
    }
    // The last draw of a 140-question quiz must find the one index left.
    Questions::LoadQuestions();
    double attempts = 0;
    for (int quiz = 0; quiz < DrawQuizzes; ++quiz) {
        ClockMixedRandom random;
        QuestionDraw draw(random);
        for (int q = 1; q <= 140; ++q)
            draw.DrawQuestion();
        attempts += draw.lastAttempts();
    }
    figures["draw_last_of_140_attempts attempts"] = {attempts / DrawQuizzes};
    for (const auto& [figure, samples] : figures) {
        const std::size_t space = figure.find(' ');
        std::printf("%s %.3f%s\n", figure.substr(0, space).c_str(), median(samples), figure.c_str() + space);
    }
    const auto ratio = [](const char* name, const char* figure, const char* floor) {
        std::printf("%s %.3f ratio\n", name, median(figures[figure]) / median(figures[floor]));
    };
    ratio("startup_ratio_vs_bare_qt", "startup_to_first_paint ms", "startup_to_first_paint_bare_qt ms");
    ratio("startup_ratio_vs_text_floor", "startup_to_first_paint ms", "startup_to_first_paint_text_floor ms");
    ratio("startup_cpu_ratio_vs_text_floor", "startup_cpu ms", "startup_cpu_text_floor ms");
    std::printf("rss_delta_vs_bare_qt_mib %.3f MiB\n",
                median(figures["peak_rss MiB"]) - median(figures["peak_rss_bare_qt MiB"]));
    return 0;
}

void watchFirstPaint()
{
    FirstPaint::watch(playQuiz);
}

} // namespace

// Runs only in the program, not in the launcher, which makes no application.
Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)

int main(int argc, char* argv[])
{
    if (argc > 1 && argv[1] == std::string("quiz"))
        return RunProgram(1, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 0;
    return launch(rounds > 0 ? rounds : 30);
}

#include "probe.moc"
