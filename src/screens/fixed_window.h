// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QWidget>

// Both screens are fixed designs: a window of one size at its first position, which can be
// minimised and closed but not resized or maximised.
inline void MakeFixedWindow(QWidget* window, const QRect& clientGeometry)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setGeometry(clientGeometry);
    window->setFixedSize(clientGeometry.size());
}
