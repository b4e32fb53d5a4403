// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/random_source.h"
#include "core/results_store.h"

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
    // The screens keep their pages in `store` and draw each quiz from a source `makeRandom` makes.
    ScreenFlow(ShellServices& services, ResultsStore store, RandomSourceFactory makeRandom)
        : m_services(services), m_store(std::move(store)), m_makeRandom(std::move(makeRandom))
    {}
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
    ResultsStore m_store;
    RandomSourceFactory m_makeRandom;
};
