// SPDX-License-Identifier: GPL-3.0-or-later
// Handing the results page to the desktop, which opens it with the player's browser.
#pragma once

#include <QString>

#include <functional>

// Asks for the page to be opened and returns at once; whether the desktop managed is not looked at.
using PageOpener = std::function<void(const QString& pagePath)>;

PageOpener desktopPageOpener();
