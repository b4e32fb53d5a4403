// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QtGlobal>

// The screens are designed in twips: 15 twips make one logical pixel. Qt's high-DPI scaling
// takes it from there.
namespace Twips {

constexpr int ToPixels(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

constexpr QRect Rect(int left, int top, int width, int height)
{
    return QRect(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

constexpr QPoint Point(int left, int top)
{
    return QPoint(ToPixels(left), ToPixels(top));
}

} // namespace Twips
