// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for what the screens ask of the desktop.
#pragma once

#include "core/results_store.h"
#include "screens/shell_services.h"
#include "scripted_random.h"

#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>

// A desktop that only takes notes: no box opens, no page reaches a browser, the program never
// ends. Yes/No questions are answered from `answers`; an empty queue answers No, the default.
// It also holds what the screens' other seams give: a store in temporary folders, and quizzes
// that draw `draws` first.
class FakeServices final : public ShellServices
{
public:
    void showMessage(QWidget*, const QString& title, const QString& text) override { messages << title + u'|' + text; }
    bool askYesNo(QWidget*, const QString& title, const QString& text) override
    {
        questions << title + u'|' + text;
        return !answers.isEmpty() && answers.dequeue();
    }
    void openPage(const QString& pagePath) override { openedPages << pagePath; }
    void exitProgram() override { ++exits; }

    ResultsStore store() const { return {programDir.path(), userDir.path() + u"/user"_qs}; }
    RandomSourceFactory drawsFirst()
    {
        return [this] { return std::make_unique<ScriptedRandom>(draws); };
    }

    QTemporaryDir programDir, userDir;
    QList<int> draws; // the bank indices every quiz started from now on draws first
    QStringList messages, questions, openedPages;
    QQueue<bool> answers; // true for Yes
    int exits = 0;
};
