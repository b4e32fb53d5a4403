// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The question count typed on the welcome screen.
namespace CountCheck {

inline constexpr int MinCount = 2;
inline constexpr int MaxCount = 140;
inline constexpr char Message[] = "Please Type Value Between 2 To 140";
inline constexpr char MessageTitle[] = "Error";

// A plain decimal number: blanks around it, an optional leading sign, digits with an optional
// decimal point, and an optional exponent. The same in every locale; nothing else is a number.
std::optional<double> ParseNumber(const QString& text);

// True when the text is a number from 2 to 140; numbers with a fraction in that range pass.
bool CountIsValid(const QString& text);

// The count a valid text asks for, rounded to the nearest integer with halves to even.
// Empty for a text that fails the check.
std::optional<qint16> ToCount(const QString& text);

} // namespace CountCheck
