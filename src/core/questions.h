// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/question_entry.h"

#include <array>
#include <optional>

// The built-in bank of 140 questions. Slot 0 never holds an entry, so bank indices run 1..140.
namespace Questions {

inline constexpr int BankSize = 140;

extern std::array<std::optional<QuestionEntry>, BankSize + 1> QuesBank;

// Refills slots 1..140 with freshly built entries of the built-in texts; slot 0 stays empty.
void LoadQuestions();

} // namespace Questions
