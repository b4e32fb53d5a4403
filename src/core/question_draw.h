// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/question_entry.h"

#include <QtGlobal>
#include <vector>

class RandomSource;

// Draws bank indices at random without repeats for one quiz session.
class QuestionDraw
{
public:
    explicit QuestionDraw(RandomSource& random) : m_random(random) {}

    // Draws an index 1..140 not drawn before in this session and copies its entry. The caller
    // asks for at most 140 draws per session; a further draw would never find a free index.
    void DrawQuestion();

    // The bank index that a random value r selects: r x 140 rounded half to even (0..140).
    static qint16 IndexForValue(float r);

    qint16 Taken = 0;                // draws accepted so far, the current one included
    std::vector<qint16> UsedIndices; // slot j holds the j-th drawn index; slot 0 is never used
    qint16 DrawnIndex = 0;           // the latest attempt's index, then the accepted one
    QuestionEntry CurrentEntry;      // a copy of the accepted entry

    // Attempts the latest DrawQuestion took (for the benchmarks).
    int lastAttempts() const { return m_lastAttempts; }

private:
    bool alreadyDrawn(qint16 index) const;

    RandomSource& m_random;
    int m_lastAttempts = 0;
};
