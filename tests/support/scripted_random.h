// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/random_source.h"

#include <QList>
#include <random>

// Draws the given bank indices in order, then seeded pseudo-random ones.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(QList<int> indices = {}, unsigned seed = 1) : m_indices(indices), m_engine(seed) {}
    void Reseed() override {}
    float NextValue() override
    {
        if (!m_indices.isEmpty())
            return static_cast<float>(m_indices.takeFirst()) / 140.0f;
        return std::uniform_real_distribution<float>(0.0f, 1.0f)(m_engine);
    }

private:
    QList<int> m_indices;
    std::mt19937 m_engine;
};
