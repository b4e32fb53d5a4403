// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QtGlobal>

class QEvent;

// A press that brings something new on screen (Start, Next, Return in the count box) is often
// pressed twice: the rest of a double click, or a key struck twice. The second press was meant
// for the control the first one acted on; it must not act on what the first one brought on screen.
// A screen notes the press that brought its new content, then asks of each later press whether it
// only echoes that one, the way desktops tell a double click: the very next press, of the same
// key or mouse button, on the same spot, within the double-click interval. Any other press in
// between ends the watch.
//
// The watch also makes a held key press once: the repeats of Return, Enter and Space go nowhere.
class PressEcho
{
public:
    // Starts watching the program's presses; the first call installs the watch, later ones do nothing.
    static void Watch();

    // The clock that times the presses that come without a time stamp, in milliseconds, read as
    // each press arrives. Tests replace it.
    using Clock = qint64 (*)();
    static void UseClock(Clock clock);

    // Notes the latest press as the one that brought what is now being shown.
    void noteOpeningPress();

    // True when `event` is a press repeating the noted one.
    bool isEcho(const QEvent* event) const;

    struct Press
    {
        int code = 0;       // a key, or minus a mouse button; 0 for none
        QPointF at;         // where a mouse press was made, on the screen
        qint64 made = 0;    // when it was made, in milliseconds (see PressWatch)
        quint64 serial = 0; // its place among all presses so far
    };

private:
    Press m_opening;
};
