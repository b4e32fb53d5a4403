// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/question_draw.h"

#include "core/questions.h"
#include "core/random_source.h"

#include <cmath>

qint16 QuestionDraw::IndexForValue(float r)
{
    // The product is exact in double precision; nearbyint rounds halves to even.
    const double product = static_cast<double>(r) * static_cast<double>(140.0f);
    return static_cast<qint16>(std::nearbyint(product));
}

bool QuestionDraw::alreadyDrawn(qint16 index) const
{
    for (int j = 1; j <= Taken; ++j) {
        if (UsedIndices[static_cast<std::size_t>(j)] == index)
            return true;
    }
    return false;
}

void QuestionDraw::DrawQuestion()
{
    m_lastAttempts = 0;
    // Index 0 names no entry; an index outside the bank can only come from a faulty source.
    do {
        m_random.Reseed();
        DrawnIndex = IndexForValue(m_random.NextValue());
        ++m_lastAttempts;
    } while (DrawnIndex < 1 || DrawnIndex > Questions::BankSize || alreadyDrawn(DrawnIndex));

    ++Taken;
    UsedIndices.resize(static_cast<std::size_t>(Taken) + 1);
    UsedIndices[static_cast<std::size_t>(Taken)] = DrawnIndex;

    const auto& slot = Questions::QuesBank[static_cast<std::size_t>(DrawnIndex)];
    CurrentEntry = slot ? *slot : QuestionEntry{};
}
