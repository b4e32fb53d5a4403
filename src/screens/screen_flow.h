// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QtGlobal>

class QuizScreen;
class ShellServices;
class WelcomeScreen;

// The two screens and the moves between them. Exactly one screen is on view; each move happens
// while the screen being left handles the player's action, and shows the new screen before the
// old one closes, so the program never runs out of windows midway. Every quiz starts on a fresh
// quiz screen and every return on a fresh welcome screen.
class ScreenFlow
{
public:
    explicit ScreenFlow(ShellServices& services) : m_services(services) {}
    ~ScreenFlow();

    // Program start: a welcome screen.
    void ShowWelcome();
    // Start on the welcome screen, with a count that has passed the count check.
    void StartQuiz(qint16 totQues);
    // Home on the quiz screen, confirmed.
    void ReturnHome();

    QPointer<WelcomeScreen> Welcome;
    QPointer<QuizScreen> Quiz;

private:
    ShellServices& m_services;
};
