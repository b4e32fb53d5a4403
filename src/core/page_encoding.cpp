// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/page_encoding.h"

#include <array>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Bytes 0x80 to 0x9F; the rest of the code page is Latin-1. The five holes map to the control
// characters of the same value, as Windows does.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray encodeWindows1252(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // One character outside the basic plane, one '?'.
            out.append('?');
            ++i;
        } else if (c.isSurrogate()) {
            out.append('?');
        } else {
            out.append(windows1252Byte(c.unicode()));
        }
    }
    return out;
}

QByteArray encodePageText(QStringView text)
{
#ifdef Q_OS_WIN
    if (text.isEmpty())
        return {};
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8)
        return text.toUtf8(); // UTF-8 refuses a default character; it lacks nothing anyway
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    // A string, not a lone char: in a double-byte code page the default character may be two
    // bytes long, and Windows reads up to the NUL.
    const char* unknown = "?";
    // No best-fit guesses: a character the code page lacks shows as '?', not as a look-alike.
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, unknown, nullptr);
    QByteArray out(size, Qt::Uninitialized);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, out.data(), size, unknown, nullptr);
    return out;
#else
    return encodeWindows1252(text);
#endif
}
