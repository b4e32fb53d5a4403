// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/questions.h"

#include <QByteArrayView>

namespace Questions {

// The bytes of questions.tsv, embedded at build time.
extern const unsigned char BankData[];
extern const std::size_t BankDataSize;

std::array<std::optional<QuestionEntry>, BankSize + 1> QuesBank;

void LoadQuestions()
{
    // One line per slot, six tab-separated texts per line; the data is checked by the tests,
    // so a short line simply leaves the missing texts empty rather than reading past it.
    const QByteArrayView data(BankData, static_cast<qsizetype>(BankDataSize));
    qsizetype lineStart = 0;
    for (int slot = 1; slot <= BankSize && lineStart < data.size(); ++slot) {
        qsizetype lineEnd = data.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = data.size();
        const QByteArrayView line = data.sliced(lineStart, lineEnd - lineStart);

        QuestionEntry entry;
        qsizetype fieldStart = 0;
        for (int position = 0; position < QuestionEntry::Size; ++position) {
            qsizetype fieldEnd = line.indexOf('\t', fieldStart);
            const bool lastField = position == QuestionEntry::Size - 1 || fieldEnd < 0;
            if (lastField)
                fieldEnd = line.size();
            entry[position] = QString::fromUtf8(line.sliced(fieldStart, fieldEnd - fieldStart));
            if (lastField)
                break;
            fieldStart = fieldEnd + 1;
        }
        QuesBank[static_cast<std::size_t>(slot)] = std::move(entry);
        lineStart = lineEnd + 1;
    }
}

} // namespace Questions
