// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz_session.h"

#include "questions.h"

QuizSession::QuizSession(qint16 totQues, RandomSource& random) : TotQues(totQues), m_draw(random) {}

void QuizSession::Form_Load()
{
    Questions::LoadQuestions();
    m_draw.DrawQuestion();
    ShowQuestion();
}

void QuizSession::ShowQuestion()
{
    RightAnswer = m_draw.CurrentEntry.rightAnswer();
}

QuizSession::Choice QuizSession::Option1_Click(int index)
{
    Choice choice;
    choice.chosenIndex = index;
    choice.rightIndex = RightAnswer - 1;
    if (Answered || index < 0 || index > 3)
        return choice;

    choice.scored = true;
    choice.right = index + 1 == RightAnswer;
    if (choice.right)
        ++RightCount;
    else
        ++WrongCount;
    Answered = true;
    return choice;
}

void QuizSession::NextQuestion()
{
    // Never draw past the chosen count: the drawing cannot serve more than the bank holds.
    if (onLastQuestion())
        return;
    m_draw.DrawQuestion();
    ShowQuestion();
    Answered = false;
}

QString QuizSession::progressText() const
{
    return QString::number(m_draw.Taken) + u'/' + QString::number(TotQues);
}
