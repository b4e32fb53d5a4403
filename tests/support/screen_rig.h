// SPDX-License-Identifier: GPL-3.0-or-later
// The program's two screens over a desktop that only takes notes, their controls found by object
// name and clicked as a player would.
#pragma once

#include "fake_services.h"
#include "screens/quiz_screen.h"
#include "screens/screen_flow.h"
#include "screens/screen_fonts.h"
#include "screens/welcome_screen.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

template <class T = QWidget> T* find(const QWidget* screen, const QString& name)
{
    T* found = screen ? screen->findChild<T*>(name) : nullptr;
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

struct ScreenRig
{
    FakeServices desk;
    ScreenFlow flow{desk, desk.store(), desk.drawsFirst()};

    ScreenRig()
    {
        ScreenFonts::InstallTahoma();
        QApplication::setQuitOnLastWindowClosed(false);
        flow.ShowWelcome();
    }

    // A quiz of `count` questions started by a click on Start: whether its window came up.
    bool startQuiz(const QString& count)
    {
        find<QLineEdit>(flow.Welcome, u"Text1"_qs)->setText(count);
        click(find(flow.Welcome, u"Start"_qs));
        return flow.Quiz && QTest::qWaitForWindowExposed(flow.Quiz);
    }
};
