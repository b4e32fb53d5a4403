// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quiz/random_source.h"

#include <QList>
#include <stdexcept>

// Hands out exactly the values it was given and counts the re-seeds, so that a test knows every
// attempt of a draw. Running out of values means the draw took more attempts than planned.
class ScriptedRandom final : public RandomSource
{
public:
    void feed(const QList<float>& values) { m_values += values; }

    void Reseed() override
    {
        ++reseeds;
        m_reseeded = true;
    }

    float NextValue() override
    {
        if (!m_reseeded)
            ++valuesWithoutReseed;
        m_reseeded = false;
        if (m_next >= m_values.size())
            throw std::runtime_error("the draw asked for more random values than scripted");
        ++valuesTaken;
        return m_values[m_next++];
    }

    qsizetype remaining() const { return m_values.size() - m_next; }

    // The value that selects bank index 1..140.
    static float valueFor(int index) { return static_cast<float>(index) / 140.0f; }

    int reseeds = 0;
    int valuesTaken = 0;
    int valuesWithoutReseed = 0;

private:
    QList<float> m_values;
    qsizetype m_next = 0;
    bool m_reseeded = false;
};
