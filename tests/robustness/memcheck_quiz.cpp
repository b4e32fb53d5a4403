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

static void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ScreenFonts::InstallTahoma();
    QTemporaryDir folder;
    FakeServices services(folder.path(), QString());
    QStringList failures;
    {
        ScreenFlow flow(services);
        flow.ShowWelcome();
        settle();
        flow.Welcome->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("140"));
        flow.Welcome->Start_Click();
        settle();
        QuizScreen* quiz = flow.Quiz;
        if (!quiz || flow.Welcome) {
            std::fprintf(stderr, "memcheck quiz: Start did not lead to a quiz\n");
            return 1;
        }
        auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Nextbtn"));
        for (int q = 1; q <= 140; ++q) {
            // The first question is passed over; the others get an answer and a second click.
            for (int i = q; q > 1 && i <= q + 1; ++i)
                quiz->findChild<AnswerButton*>(QStringLiteral("Option1_%1").arg(i % 4))->click();
            settle();
            if (q < 140)
                next->click();
        }
        next->click();
        next->click();
        settle();
        if (!services.messages.isEmpty() || services.openedPages.size() != 2 ||
            QFileInfo(folder.filePath(QStringLiteral("Results.htm"))).size() == 0)
            failures << QStringLiteral("the page was not written and opened at each Result press");
        services.answers << false << true;
        quiz->home_Click();
        settle();
        if (flow.Quiz != quiz)
            failures << QStringLiteral("Home answered No left the quiz");
        quiz->home_Click();
        settle();
        if (flow.Quiz || !flow.Welcome)
            failures << QStringLiteral("Home answered Yes did not lead back to the welcome screen");
    }
    settle();
    for (const QString& failure : failures)
        std::fprintf(stderr, "memcheck quiz: %s\n", qPrintable(failure));
    return failures.isEmpty() ? 0 : 1;
}
