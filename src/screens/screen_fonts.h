// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

// The screens' lettering: Tahoma 8.25 pt. Where the system has no Tahoma, the metric-compatible
// Tahoma from Wine's fonts is used when installed, and the closest sans-serif otherwise.
namespace ScreenFonts {

// Makes "Tahoma" resolve to the best font available; call once before the first screen.
void InstallTahoma();

QFont Tahoma(bool bold = false);

// The welcome screen's default font, for the texts the design leaves in the default font: Tahoma
// at 10 pixels. At 8.25 pt Windows' hinted Tahoma makes "Total Question :" 82 pixels wide, one
// more than the room before the count box.
QFont WelcomeDefault();

} // namespace ScreenFonts
