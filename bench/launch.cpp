// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program's probe and the bare Qt window's probe side by side, alternating, and prints
// the start-up and memory figures as "name value unit" lines, the ratios last:
//   startup_to_first_paint, startup_to_first_paint_bare_qt   medians, process start to first paint
//   peak_rss                 the program through a scripted 140-question quiz (median)
//   peak_rss_to_first_paint  the program up to its first paint (median)
//   peak_rss_bare_qt         the bare window up to its first paint (median)
//   startup_ratio_vs_bare_qt, rss_delta_vs_bare_qt_mib
// Usage: tevrin_bench_launch [start-up runs per probe, at least 20]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int WarmUpRuns = 2;
constexpr int QuizRuns = 5;

std::int64_t monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Run
{
    double startupMs = 0;
    double peakMiB = 0;
};

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "launch: %s\n", what.c_str());
    std::exit(1);
}

Run runProbe(const char* path, bool playQuiz)
{
    int out[2];
    if (pipe(out) != 0)
        fail("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);

    std::vector<char*> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.push_back(*variable);
    static char quizSwitch[] = "TEVRIN_BENCH_QUIZ=1";
    if (playQuiz)
        environment.push_back(quizSwitch);
    environment.push_back(nullptr);
    char* arguments[] = {const_cast<char*>(path), nullptr};

    pid_t pid = 0;
    const std::int64_t spawned = monotonicNanoseconds();
    const int error = posix_spawn(&pid, path, &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (error != 0)
        fail(std::string("cannot start ") + path + ": " + std::strerror(error));

    std::string output;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, std::size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(std::string(path) + " failed; it said: " + output);

    const std::size_t painted = output.find("painted ");
    if (painted == std::string::npos || (playQuiz && output.find("quiz done") == std::string::npos))
        fail(std::string(path) + " did not report its paint; it said: " + output);
    Run run;
    run.startupMs = double(std::strtoll(output.c_str() + painted + 8, nullptr, 10) - spawned) / 1e6;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0; // kibibytes on Linux
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    const int runs = std::max(20, argc > 1 ? std::atoi(argv[1]) : 30);
    for (int i = 0; i < WarmUpRuns; ++i) {
        runProbe(TEVRIN_APP_PROBE, false);
        runProbe(TEVRIN_BARE_PROBE, false);
    }
    std::vector<double> appStartup, bareStartup, appRss, bareRss, quizRss;
    for (int i = 0; i < runs; ++i) {
        // Alternating the order cancels a drift of the machine's speed during the runs.
        const bool appFirst = i % 2 == 0;
        const Run first = runProbe(appFirst ? TEVRIN_APP_PROBE : TEVRIN_BARE_PROBE, false);
        const Run second = runProbe(appFirst ? TEVRIN_BARE_PROBE : TEVRIN_APP_PROBE, false);
        const Run& app = appFirst ? first : second;
        const Run& bare = appFirst ? second : first;
        appStartup.push_back(app.startupMs);
        bareStartup.push_back(bare.startupMs);
        appRss.push_back(app.peakMiB);
        bareRss.push_back(bare.peakMiB);
    }
    for (int i = 0; i < QuizRuns; ++i)
        quizRss.push_back(runProbe(TEVRIN_APP_PROBE, true).peakMiB);

    const double app = median(appStartup);
    const double bare = median(bareStartup);
    std::printf("startup_to_first_paint %.2f ms\n", app);
    std::printf("startup_to_first_paint_bare_qt %.2f ms\n", bare);
    std::printf("peak_rss %.2f MiB\n", median(quizRss));
    std::printf("peak_rss_to_first_paint %.2f MiB\n", median(appRss));
    std::printf("peak_rss_bare_qt %.2f MiB\n", median(bareRss));
    std::printf("startup_ratio_vs_bare_qt %.3f ratio\n", app / bare);
    std::printf("rss_delta_vs_bare_qt_mib %.2f MiB\n", median(quizRss) - median(bareRss));
    return 0;
}
