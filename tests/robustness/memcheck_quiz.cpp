// SPDX-License-Identifier: GPL-3.0-or-later
// A whole 140-question quiz, from the welcome screen through Result to Home and back, for running
// under valgrind's memcheck: every screen is built, painted and released once. Exits 1 when the
// quiz itself went wrong, so that a clean memcheck run of a broken quiz cannot pass.
#include "fake_services.h"
#include "quiz/answer_button.h"
#include "quiz/quiz_screen.h"
#include "shell/screen_flow.h"
#include "shell/screen_fonts.h"
#include "shell/welcome_screen.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

int failures = 0;

void expect(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "memcheck quiz: %s\n", what);
        ++failures;
    }
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ScreenFonts::InstallTahoma();
    QTemporaryDir folder;
    FakeServices services(folder.path(), QString());
    {
        ScreenFlow flow(services);
        flow.ShowWelcome();
        settle();
        expect(flow.Welcome != nullptr, "no welcome screen");
        if (!flow.Welcome)
            return 1;
        flow.Welcome->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("140"));
        flow.Welcome->Start_Click();
        settle();
        QuizScreen* quiz = flow.Quiz;
        expect(quiz != nullptr && !flow.Welcome, "Start did not lead to a quiz");
        if (!quiz)
            return 1;

        auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Nextbtn"));
        for (int q = 1; q <= 140; ++q) {
            // The first question is passed over; the others get an answer and a second click.
            if (q > 1) {
                quiz->findChild<AnswerButton*>(QStringLiteral("Option1_%1").arg(q % 4))->click();
                quiz->findChild<AnswerButton*>(QStringLiteral("Option1_%1").arg((q + 1) % 4))->click();
            }
            settle();
            if (q < 140)
                next->click();
        }
        expect(next->text() == QStringLiteral("Result"), "no Result after 140 questions");
        next->click();
        next->click();
        settle();
        expect(services.messages.isEmpty(), "the page could not be written");
        expect(services.openedPages.size() == 2, "the page was not opened at each Result press");
        expect(QFileInfo(folder.filePath(QStringLiteral("Results.htm"))).size() > 0, "no page written");

        services.answers.enqueue(false);
        quiz->home_Click();
        settle();
        expect(flow.Quiz == quiz, "Home answered No left the quiz");
        services.answers.enqueue(true);
        quiz->home_Click();
        settle();
        expect(!flow.Quiz && flow.Welcome, "Home answered Yes did not lead back to the welcome screen");
    }
    settle();
    return failures == 0 ? 0 : 1;
}
