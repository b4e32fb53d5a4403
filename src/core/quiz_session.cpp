// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/quiz_session.h"

#include "core/questions.h"

void QuizSession::start()
{
    Questions::LoadQuestions();
    m_draw.DrawQuestion();
}

QuizSession::Choice QuizSession::choose(int index)
{
    Choice choice;
    choice.rightIndex = rightIndex();
    if (m_answered || index < 0 || index > 3)
        return choice;

    choice.scored = true;
    choice.right = index == choice.rightIndex;
    ++(choice.right ? m_rightCount : m_wrongCount);
    m_answered = true;
    return choice;
}

void QuizSession::next()
{
    // The drawing cannot serve more than the bank holds, so it never goes past the chosen count.
    if (finished())
        return;
    m_draw.DrawQuestion();
    m_answered = false;
}
