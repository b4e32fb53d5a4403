// SPDX-License-Identifier: GPL-3.0-or-later
// Where the results page and its logo are written, and where the last page is found again.
#pragma once

#include "core/file_writer.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct WriteOutcome
{
    // A file that could not be written, and the system's words for why.
    struct Failure
    {
        QString path;
        QString reason;
    };

    bool ok = false;
    QString pagePath;        // the page to open; set only when both files were written whole
    QList<Failure> failures; // one per folder tried, in the order tried

    // What the player is told when nothing could be saved; empty on success.
    QString message() const;
};

class ResultsStore
{
public:
    // The program's own folder first; the player's data folder when that one can't be written.
    ResultsStore(QString programFolder, QString userFolder, FileWriter writer = safeFileWriter());

    static ResultsStore forApplication();

    // Saves the logo, then the page, each whole or not at all.
    WriteOutcome writeFiles(const QByteArray& logo, const QByteArray& page) const;

    // The more recently written "Results.htm" of the two folders, or empty when there is none.
    QString previousPage() const;

    QString programPagePath() const;
    QString userPagePath() const;

private:
    WriteOutcome writeInto(const QString& prefix, const QByteArray& logo, const QByteArray& page) const;

    QString m_programFolder;
    QString m_userFolder;
    FileWriter m_writer;
};
