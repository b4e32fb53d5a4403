// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QColor;
class QWidget;

// The screens' colours were chosen for the classic light desktop face: dark text on light grey
// controls. They keep that face whatever the desktop's theme, so no text loses its contrast on a
// dark or high-contrast theme.
namespace ScreenLook {

// Gives a screen, and every control on it, the classic light face.
void UseClassicFace(QWidget* screen);

// Sets the colour of a control's text, whichever role its kind draws the text with.
void SetTextColour(QWidget* control, const QColor& colour);

} // namespace ScreenLook
