// SPDX-License-Identifier: GPL-3.0-or-later
// Results pages that name the write they come from: every question text carries a generation
// number, so a page read back tells which write produced it and what it must hold, byte for byte.
#pragma once

#include "report/results_report.h"
#include "report/results_store.h"

#include <QByteArray>
#include <QString>
#include <utility>

namespace SamplePage {

// A stand-in for the logo picture: its bytes only have to come back whole.
inline QByteArray logo()
{
    QByteArray bytes("GIF89a");
    for (int i = 0; bytes.size() < 6000; ++i)
        bytes.append(char('A' + i % 26));
    return bytes;
}

inline WriteOutcome write(int generation, int rows, int textLength, const ResultsStore& store)
{
    ResultsReport report(QStringLiteral("robust@example.org"), QStringLiteral("https://robust.example.org"));
    const QString filler(textLength, u'x');
    for (int row = 1; row <= rows; ++row) {
        const QString question = QStringLiteral("Page %1 question %2 ").arg(generation).arg(row) + filler;
        const QString right = QStringLiteral("Right %1 ").arg(row) + filler;
        const bool isRight = row % 3 != 0;
        report.AddAnswerRow(question, right, isRight ? right : QStringLiteral("Wrong %1").arg(row), isRight);
    }
    return report.WriteResultsPage(QString::number(rows - rows / 3), QString::number(rows / 3),
                                   static_cast<qint16>(rows), logo(), store);
}

// The page bytes that a whole write of this generation leaves in the file.
inline QByteArray bytes(int generation, int rows, int textLength)
{
    QByteArray page;
    const ResultsStore memory(QStringLiteral("/memory"), QString(), [&](const QString& path, const QByteArray& data) {
        if (path.endsWith(QStringLiteral("Results.htm")))
            page = data;
        return WriteResult{true, {}};
    });
    write(generation, rows, textLength, memory);
    return page;
}

// The rows and text length of the pages a writer in a loop alternates between, so that a page
// cut short or mixed with another could never pass as whole.
inline std::pair<int, int> loopShape(int generation)
{
    return generation % 2 == 0 ? std::pair(140, 3000) : std::pair(60, 1000);
}

} // namespace SamplePage
