// SPDX-License-Identifier: GPL-3.0-or-later
// A screen's controls found by object name, and clicked as a player would.
#pragma once

#include <QTest>
#include <QWidget>

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
