// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QEvent;

// A press that brings something new on screen (Start, Next, Return in the count box) is often
// pressed twice: the rest of a double click, or a key struck twice. The second press was meant
// for the control the first one acted on; it must not act on what the first one brought on screen.
// A screen notes the press that brought its new content, then asks of each later press whether it
// only echoes that one: the same button or key again within the desktop's double-click interval.
class PressEcho
{
public:
    // Starts watching the program's presses; the first call installs the watch, later ones do nothing.
    static void Watch();

    // Notes the latest press as the one that brought what is now being shown.
    void noteOpeningPress();

    // True when `event` is a press repeating the noted one.
    bool isEcho(const QEvent* event) const;

    struct Press
    {
        int code = 0;     // a key, or minus a mouse button; 0 for none
        quint64 time = 0; // the event's time stamp, in milliseconds
    };

private:
    Press m_opening;
};
