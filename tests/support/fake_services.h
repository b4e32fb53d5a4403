// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quiz/random_source.h"
#include "report/results_store.h"
#include "shell/shell_services.h"

#include <QList>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <utility>

// A desktop that only takes notes: no box opens, no page reaches a browser, the program never
// ends. Yes/No questions are answered from `answers`; an empty queue answers No, the default.
class FakeServices final : public ShellServices
{
public:
    struct Message
    {
        QPointer<QWidget> parent;
        QString title;
        QString text;
    };

    FakeServices(QString programFolder, QString userFolder)
        : m_programFolder(std::move(programFolder)), m_userFolder(std::move(userFolder))
    {}

    void showMessage(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.append({parent, title, text});
    }
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override
    {
        questions.append({parent, title, text});
        return !answers.isEmpty() && answers.dequeue();
    }
    void openPage(const QString& pagePath) override { openedPages.append(pagePath); }
    ResultsStore resultsStore() const override { return ResultsStore(m_programFolder, m_userFolder); }
    std::unique_ptr<RandomSource> makeRandomSource() override
    {
        ++randomSourcesMade;
        if (m_random)
            return std::make_unique<Borrowed>(*m_random);
        return std::make_unique<ClockMixedRandom>();
    }
    void exitProgram() override { ++exitCalls; }

    // Every quiz started from now on draws from `source`; nullptr goes back to the clock.
    void useRandomSource(RandomSource* source) { m_random = source; }
    void useFolders(const QString& programFolder, const QString& userFolder)
    {
        m_programFolder = programFolder;
        m_userFolder = userFolder;
    }
    QString programFolder() const { return m_programFolder; }
    QString userFolder() const { return m_userFolder; }

    QList<Message> messages;
    QList<Message> questions; // the Yes/No boxes asked
    QQueue<bool> answers;     // true for Yes
    QStringList openedPages;
    int exitCalls = 0;
    int randomSourcesMade = 0;

private:
    class Borrowed final : public RandomSource
    {
    public:
        explicit Borrowed(RandomSource& source) : m_source(source) {}
        void Reseed() override { m_source.Reseed(); }
        float NextValue() override { return m_source.NextValue(); }

    private:
        RandomSource& m_source;
    };

    QString m_programFolder;
    QString m_userFolder;
    RandomSource* m_random = nullptr;
};
