// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screen_flow.h"

#include "screens/quiz_screen.h"
#include "screens/welcome_screen.h"

ScreenFlow::~ScreenFlow()
{
    delete Welcome;
    delete Quiz;
}

void ScreenFlow::ShowWelcome()
{
    if (!Welcome) {
        Welcome = new WelcomeScreen(m_services, m_store);
        QObject::connect(Welcome, &WelcomeScreen::startRequested, Welcome, [this](qint16 n) { StartQuiz(n); });
    }
    Welcome->show();
}

void ScreenFlow::StartQuiz(qint16 totQues)
{
    if (!Quiz) {
        Quiz = new QuizScreen(m_services, m_store, m_makeRandom);
        QObject::connect(Quiz, &QuizScreen::homeConfirmed, Quiz, [this] { ReturnHome(); });
    }
    // The quiz screen shows the count from its first question on, so it is written first.
    Quiz->TotQues = totQues;
    Quiz->show();
    if (Welcome)
        Welcome->close(); // deletes itself, which empties the reference
}

void ScreenFlow::ReturnHome()
{
    ShowWelcome();
    if (Quiz)
        Quiz->close();
}
