// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// How the screens present themselves to assistive technology (screen readers): each screen as a
// window, groups named by what they hold, picture buttons as buttons, and without the parts that
// only decorate (frames, rules, a caption that merely repeats its button's name).
namespace ScreenAccessibility {

// Presents a screen as a window.
void MarkScreen(QWidget* screen);

// Presents a plain container as a group named by its accessible name.
void MarkGroup(QWidget* container);

// Presents a label as a notification: readers say its name whenever it is announced anew.
void MarkNotification(QWidget* label);

// Leaves a control out of what assistive technology is shown.
void MarkDecoration(QWidget* control);

} // namespace ScreenAccessibility
