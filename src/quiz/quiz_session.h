// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "question_draw.h"

#include <QString>

// The rules of one quiz: which question is shown, how the first answer to it is scored,
// and when the quiz is over. The quiz screen turns these into captions and colours.
class QuizSession
{
public:
    QuizSession(qint16 totQues, RandomSource& random);

    // What a choice of answer did. A choice after the question was answered scores nothing.
    struct Choice
    {
        bool scored = false;
        bool right = false;
        int chosenIndex = -1; // button index 0..3
        int rightIndex = -1;  // button index of the right answer
    };

    // Fills the bank and draws and shows the first question.
    void Form_Load();
    // Scores the player's answer on button 0..3, once per question.
    Choice Option1_Click(int index);
    // Draws and shows the next question; after the last one the quiz is finished.
    void NextQuestion();

    qint16 TotQues = 0;
    bool Answered = false;
    qint16 RightAnswer = 0; // 1..4: button RightAnswer - 1 carries the right answer
    qint16 RightCount = 0;
    qint16 WrongCount = 0;

    const QuestionEntry& CurrentEntry() const { return m_draw.CurrentEntry; }
    qint16 Taken() const { return m_draw.Taken; }
    const QuestionDraw& draw() const { return m_draw; }
    // The last question is on screen: the Next button has become Result.
    bool onLastQuestion() const { return m_draw.Taken >= TotQues; }
    // Progress as shown: questions taken, "/", questions chosen.
    QString progressText() const;

private:
    void ShowQuestion();

    QuestionDraw m_draw;
};
