// SPDX-License-Identifier: GPL-3.0-or-later
// The page is 8-bit text in the ANSI code page that a Windows player's browser assumes.
#pragma once

#include <QByteArray>
#include <QStringView>

// Windows-1252 as Windows maps it; anything it lacks becomes '?'. Same result on every platform.
QByteArray encodeWindows1252(QStringView text);

// On Windows the system's ANSI code page, elsewhere Windows-1252.
QByteArray encodePageText(QStringView text);
