// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

// Makes `screen` one of the program's screens, then builds its controls: a fixed design (a window
// of one size at its first position, which can be minimised and closed but not resized or
// maximised) in the light face, a window to screen readers, deleted once closed.
void SetUpScreen(QWidget* screen, const QString& name, const QString& title, const QFont& font,
                 const QRect& clientGeometry, const std::function<void()>& buildControls);
