// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// What the screens ask of the desktop: message boxes, opening a page and ending the program.
// Tests put a recording stand-in in its place.
class ShellServices
{
public:
    virtual ~ShellServices() = default;

    // A modal message with a single OK button and no icon.
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text) = 0;
    // A modal Yes/No question with No as the default; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // Hands the page to the desktop's default program; never waits for it.
    virtual void openPage(const QString& pagePath) = 0;
    // Ends the program at once.
    virtual void exitProgram() = 0;
};

// The real desktop.
class DesktopServices final : public ShellServices
{
public:
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    void openPage(const QString& pagePath) override;
    void exitProgram() override;
};
