// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMouseEvent>
#include <QWidget>

// Turns a left-button press and a release inside the same widget into one click,
// as buttons do: pressing, moving off and releasing is no click.
class ClickTracker
{
public:
    void press(QMouseEvent* event)
    {
        m_pressed = event->button() == Qt::LeftButton;
        event->accept();
    }

    // A double click's second press is no new click: the first one has been counted already.
    void doublePress(QMouseEvent* event)
    {
        m_pressed = false;
        event->accept();
    }

    // True when this release completes a click.
    bool release(const QWidget* widget, QMouseEvent* event)
    {
        const bool click =
            m_pressed && event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
        m_pressed = false;
        event->accept();
        return click;
    }

private:
    bool m_pressed = false;
};
