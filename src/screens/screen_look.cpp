// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screen_look.h"

#include <QPalette>
#include <QWidget>

namespace ScreenLook {

namespace {

QPalette classicPalette()
{
    const QColor face(240, 240, 240);
    const QColor black(0, 0, 0);
    // Window, window text, base, text, button, button text in the classic desktop's colours;
    // light, dark and their neighbours draw the frames' bevels.
    QPalette palette(black, face, QColor(255, 255, 255), QColor(160, 160, 160), QColor(160, 160, 160), black,
                     QColor(255, 255, 255), QColor(255, 255, 255), face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, black);
    palette.setColor(QPalette::Midlight, QColor(227, 227, 227));
    palette.setColor(QPalette::Shadow, QColor(105, 105, 105));
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, black);
    palette.setColor(QPalette::PlaceholderText, QColor(109, 109, 109));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(109, 109, 109));
    return palette;
}

} // namespace

void UseClassicFace(QWidget* screen)
{
    static const QPalette palette = classicPalette();
    screen->setPalette(palette);
}

void SetTextColour(QWidget* control, const QColor& colour)
{
    QPalette palette = control->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    control->setPalette(palette);
}

} // namespace ScreenLook
