// SPDX-License-Identifier: GPL-3.0-or-later
// Handing the results page to the desktop, which opens it with the player's browser.
#pragma once

#include <QString>

#include <functional>

class ResultsStore;

// Asks for the page to be opened and returns at once; whether the desktop managed is not looked at.
using PageOpener = std::function<void(const QString& pagePath)>;

PageOpener desktopPageOpener();

// Opens the page of the last quiz, if there is one; with none nothing visible happens.
void openPreviousResults(const ResultsStore& store, const PageOpener& open);
