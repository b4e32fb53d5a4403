// SPDX-License-Identifier: GPL-3.0-or-later
// Linked with the program's own main(): a start-up hook that watches for the welcome screen's
// first paint. With TEVRIN_BENCH_QUIZ set, it then plays a whole 140-question quiz to Result
// (for the memory figures) before it quits; the page is written beside the probe and opening it
// is a no-op.
#include "first_paint.h"
#include "quiz/quiz_screen.h"
#include "welcome_screen.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QUrl>

#include <cstdio>

namespace {

// Stands in for the browser, so that no program is started by the run.
class PageSink : public QObject
{
    Q_OBJECT

public:
    ~PageSink() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    int opened = 0;

public Q_SLOTS:
    void open(const QUrl&) { ++opened; }
};

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void finish(const char* failure)
{
    if (failure)
        std::fprintf(stderr, "quiz probe: %s\n", failure);
    else
        std::printf("quiz done\n");
    std::fflush(stdout);
    QCoreApplication::exit(failure ? 1 : 0);
}

void playQuiz(QWidget* window, PageSink* sink)
{
    auto* welcome = qobject_cast<WelcomeScreen*>(window);
    if (!welcome)
        return finish("the first window painted is not the welcome screen");
    welcome->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("140"));
    welcome->Start_Click();
    settle();
    QuizScreen* quiz = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!quiz)
            quiz = qobject_cast<QuizScreen*>(top);
    }
    if (!quiz)
        return finish("Start did not show a quiz screen");
    for (int q = 1; q <= 140; ++q) {
        quiz->Option1_Click(q % 4);
        settle();
        quiz->Nextbtn_Click(); // Next, and after the last question Result
        settle();
    }
    finish(sink->opened == 1 ? nullptr : "the results page was not written");
}

void installWatch()
{
    if (!qEnvironmentVariableIsSet("TEVRIN_BENCH_QUIZ")) {
        Bench::watchFirstPaint();
        return;
    }
    auto* sink = new PageSink;
    sink->setParent(QCoreApplication::instance());
    QDesktopServices::setUrlHandler(QStringLiteral("file"), sink, "open");
    Bench::watchFirstPaint([sink](QWidget* window) { playQuiz(window, sink); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installWatch)

#include "app_probe.moc"
