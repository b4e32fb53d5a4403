// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screen_setup.h"

#include "screens/press_echo.h"
#include "screens/screen_accessibility.h"
#include "screens/screen_look.h"

#include <QWidget>

void SetUpScreen(QWidget* screen, const QString& name, const QString& title, const QFont& font,
                 const QRect& clientGeometry, const std::function<void()>& buildControls)
{
    screen->setObjectName(name);
    ScreenLook::UseClassicFace(screen);
    ScreenAccessibility::MarkScreen(screen);
    // A press that brings a new screen must be known to it, which then ignores its echo.
    PressEcho::Watch();
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->setWindowTitle(title);
    screen->setFont(font);
    screen->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    screen->setGeometry(clientGeometry);
    screen->setFixedSize(clientGeometry.size());
    buildControls();
}
