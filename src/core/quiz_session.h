// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/question_draw.h"

// The rules of one quiz: which question is on view, how the first answer to it is scored, and
// when every question has been drawn. The quiz screen turns these into captions and colours.
class QuizSession
{
public:
    QuizSession(qint16 total, RandomSource& random) : m_total(total), m_draw(random) {}

    // What a choice of answer did. A choice once the question is answered scores nothing.
    struct Choice
    {
        bool scored = false;
        bool right = false;
        int rightIndex = -1; // answer 0..3 that is right
    };

    // Fills the bank and draws the first question.
    void start();
    // Scores the player's answer 0..3, the first one per question only.
    Choice choose(int index);
    // Draws the next question; once every question has been drawn, nothing happens.
    void next();
    // The last question is on view: what follows is the result.
    bool finished() const { return m_draw.Taken >= m_total; }

    const QuestionEntry& question() const { return m_draw.CurrentEntry; }
    int rightIndex() const { return m_draw.CurrentEntry.rightAnswer() - 1; }
    bool answered() const { return m_answered; }
    int taken() const { return m_draw.Taken; }
    int total() const { return m_total; }
    int rightCount() const { return m_rightCount; }
    int wrongCount() const { return m_wrongCount; }
    const QuestionDraw& draw() const { return m_draw; }

private:
    qint16 m_total = 0;
    bool m_answered = false;
    qint16 m_rightCount = 0;
    qint16 m_wrongCount = 0;
    QuestionDraw m_draw;
};
