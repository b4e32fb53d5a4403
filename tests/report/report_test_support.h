// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers shared by the results page tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace ReportTest {

struct Answer
{
    QString question;
    QString rightAnswer;
    QString chosenAnswer;
    bool isRight = false;
};

// The contact addresses the expected pages were written with.
inline const QString Email = QStringLiteral("quiz@example.org");
inline const QString Web = QStringLiteral("https://www.example.org");

// A complete 1 x 1 GIF; the writer copies the logo's bytes without looking into them.
inline const QByteArray TinyGif = QByteArray::fromHex("47494638396101000100800000000000ffffff21f90401000000002c00000000"
                                                      "010001000002024401003b");

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QString expectedPath(const QString& name)
{
    return QStringLiteral(TEVRIN_SOURCE_DIR "/tests/report/expected/") + name;
}

// Where two pages part, so that a failure points at the byte instead of printing two whole pages.
inline QByteArray firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    qsizetype i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    if (i == actual.size() && i == expected.size())
        return {};
    const qsizetype from = qMax<qsizetype>(0, i - 20);
    return "byte " + QByteArray::number(i) + " (actual " + QByteArray::number(actual.size()) + ", expected " +
           QByteArray::number(expected.size()) + " bytes)\n  actual:   ..." +
           actual.mid(from, 60).toPercentEncoding(" <>=\"/:;#!&") + "\n  expected: ..." +
           expected.mid(from, 60).toPercentEncoding(" <>=\"/:;#!&");
}

} // namespace ReportTest
