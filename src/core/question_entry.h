// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

// One multiple-choice question: the question, its four answers in screen order, and the
// number of the right answer kept as the text "1".."4", exactly as the bank stores it.
struct QuestionEntry
{
    enum Position
    {
        QuestionText = 0,
        FirstAnswer = 1,
        RightAnswerDigit = 5
    };
    static constexpr int Size = 6;

    std::array<QString, Size> texts;

    const QString& operator[](int position) const { return texts[static_cast<std::size_t>(position)]; }
    QString& operator[](int position) { return texts[static_cast<std::size_t>(position)]; }

    QString question() const { return texts[QuestionText]; }
    QString answer(int buttonIndex) const { return texts[static_cast<std::size_t>(FirstAnswer + buttonIndex)]; }
    // The right answer as a number 1..4; 0 for a malformed digit (never in the built-in bank).
    qint16 rightAnswer() const
    {
        bool ok = false;
        const int value = texts[RightAnswerDigit].toInt(&ok);
        return ok && value >= 1 && value <= 4 ? static_cast<qint16>(value) : qint16(0);
    }

    bool operator==(const QuestionEntry&) const = default;
};
