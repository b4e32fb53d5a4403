// SPDX-License-Identifier: GPL-3.0-or-later
// An independent reading of a written results page: the head, the totals, the table head, the
// answer rows and the closing, each where it belongs, and CR LF after every line.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace PageCheck {

struct Row
{
    bool bold = false;   // a wrong answer
    QByteArray question; // the cells as they stand in the file
    QByteArray rightAnswer;
    QByteArray chosenAnswer;
    bool operator==(const Row&) const = default;
};

struct Page
{
    int rightCount = -1;
    int wrongCount = -1;
    int totalQuestions = -1;
    QList<Row> rows;
};

// Reads the page; on a malformed page returns false and says where in `error`.
bool parse(const QByteArray& bytes, Page& page, QString& error);

// A quiz text as the page holds it: markup characters as entities, then Windows-1252.
QByteArray cellBytes(const QString& text);

} // namespace PageCheck
