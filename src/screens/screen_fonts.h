// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QWidget;

// The screens' lettering: Tahoma 8.25 pt. Where the system has no Tahoma, the metric-compatible
// Tahoma from Wine's fonts is used when installed, and the closest sans-serif otherwise.
namespace ScreenFonts {

// Makes "Tahoma" resolve to the best font available; call once before the first screen.
void InstallTahoma();

QFont Tahoma(bool bold = false);

// Gives a control the bold Tahoma, and where the bold is the regular face made heavier, the style
// that makes it plainly bold.
void UseBold(QWidget* control);

// Tahoma 8.25 pt lines lie 13 pixels apart on the designs' 96-dpi desktop; Wine's Tahoma would
// set them 10 apart, descenders touching the line below.
constexpr int TahomaLineHeight = 13;

// The welcome screen's default font, for the texts the design leaves in the default font: Tahoma
// at 10 pixels. At 8.25 pt Windows' hinted Tahoma makes "Total Question :" 82 pixels wide, one
// more than the room before the count box.
QFont WelcomeDefault();

} // namespace ScreenFonts
