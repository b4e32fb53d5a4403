// SPDX-License-Identifier: GPL-3.0-or-later
// The results page of one quiz, built up while the player answers and written at the end.
#pragma once

#include "core/results_store.h"

#include <QByteArray>
#include <QString>

class ResultsReport
{
public:
    // Contact addresses of this build.
    ResultsReport();
    // The web address is an absolute link target such as "https://www.example.org".
    ResultsReport(const QString& contactEmail, const QString& contactWeb);

    void AddAnswerRow(const QString& question, const QString& rightAnswer, const QString& chosenAnswer, bool isRight);

    // Adds the totals and the closing once, then saves the logo and the page. A later call writes the same page.
    WriteOutcome WriteResultsPage(const QString& rightCountCaption, const QString& wrongCountCaption, qint16 totQues,
                                  const QByteArray& logoGif, const ResultsStore& store);

private:
    // What the file holds, before and after encoding.
    QString pageText() const;
    QByteArray pageBytes() const;

    QString m_head;
    QString m_table;
    bool m_totalsAdded = false;
};
