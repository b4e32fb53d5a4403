// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/count_check.h"

#include <QLocale>
#include <cmath>

namespace CountCheck {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Skips a run of ASCII digits from position i and returns how many there were.
qsizetype skipDigits(const QString& text, qsizetype& i)
{
    const qsizetype start = i;
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i - start;
}

} // namespace

std::optional<double> ParseNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    qsizetype last = end;
    while (last > i && text[last - 1] == u' ')
        --last;
    const QString number = text.mid(i, last - i);

    qsizetype p = 0;
    if (p < number.size() && (number[p] == u'+' || number[p] == u'-'))
        ++p;
    qsizetype mantissaDigits = skipDigits(number, p);
    if (p < number.size() && number[p] == u'.') {
        ++p;
        mantissaDigits += skipDigits(number, p);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (p < number.size() && (number[p] == u'e' || number[p] == u'E')) {
        ++p;
        if (p < number.size() && (number[p] == u'+' || number[p] == u'-'))
            ++p;
        if (skipDigits(number, p) == 0)
            return std::nullopt;
    }
    if (p != number.size())
        return std::nullopt;

    // The C locale reads exactly this grammar, whatever the player's locale is.
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

bool CountIsValid(const QString& text)
{
    const auto value = ParseNumber(text);
    return value && *value >= MinCount && *value <= MaxCount;
}

std::optional<qint16> ToCount(const QString& text)
{
    if (!CountIsValid(text))
        return std::nullopt;
    return static_cast<qint16>(std::nearbyint(*ParseNumber(text)));
}

} // namespace CountCheck
