// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled-in bank against its invariants and profile, so that every edit of the questions keeps them.
#include "core/questions.h"

#include <QRegularExpression>
#include <QTest>
#include <span>

namespace Questions {
extern const std::size_t BankDataSize;
} // namespace Questions

class QuestionBankTest : public QObject
{
    Q_OBJECT

    // Texts by kind. A line is an entry's six texts joined by tabs; the bank is all lines, one text.
    QHash<QString, QStringList> m_texts;

private Q_SLOTS:
    void initTestCase()
    {
        Questions::LoadQuestions();
        Questions::QuesBank[7]->texts[0] = u"left over"_qs; // a second load must replace it
        Questions::LoadQuestions();
        QVERIFY(!Questions::QuesBank[0]);
        for (const auto& slot : std::span(Questions::QuesBank).subspan(1)) {
            QVERIFY2(slot, qPrintable(u"slot %1 is empty"_qs.arg(&slot - Questions::QuesBank.data())));
            m_texts[u"lines"_qs] << QStringList(slot->texts.begin(), slot->texts.end()).join(u'\t');
            m_texts[u"answers"_qs] << QStringList(slot->texts.begin() + 1, slot->texts.begin() + 5);
        }
        // A line past the 140th would be left out of the bank silently.
        m_texts[u"bank"_qs] << m_texts[u"lines"_qs].join(u'\n') + u'\n';
        QCOMPARE(std::size_t(m_texts[u"bank"_qs][0].toUtf8().size()), Questions::BankDataSize);
    }

    // Each row counts the matches of a pattern in the texts of the kind its name begins with.
    void profile_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("matches");
        // Six texts: a question of 30 to 99 characters, four answers of 1 to 64, the right answer's digit.
        QTest::newRow("lines: six texts within their lengths") << u"^[^\t]{30,99}(\t[^\t]{1,64}){4}\t[1-4]$"_qs << 140;
        QTest::newRow("lines: beyond printable ASCII and the ellipsis") << u"[^\t\\x{20}-\\x{7E}\u2026]"_qs << 0;
        for (const int digit : {1, 2, 3, 4})
            QTest::addRow("lines: right answer %d", digit) << u"\t%1$"_qs.arg(digit) << QList{0, 42, 46, 36, 16}[digit];
        QTest::newRow("bank: a question twice") << u"(?m)^([^\t\n]*\t)(?=[\\s\\S]*^\\1)"_qs << 0;
        // Letter case and a final "." or blank aside.
        QTest::newRow("lines: an answer twice in one entry") << u"(?i)\t([^\t]*?)[. ]*\t([^\t]*\t)*?\\1[. ]*\t"_qs << 0;
        QTest::newRow("answers: bare numbers") << u"^[0-9]+(,[0-9]+)?$"_qs << 140;
        QTest::newRow("lines: four bare numbers") << u"^[^\t]*(\t[0-9]+(,[0-9]+)?){4}\t"_qs << 35;
        QTest::newRow("lines: ellipsis, in two questions and four answers") << u"\u2026"_qs << 6;
    }

    void profile()
    {
        QFETCH(QString, pattern);
        QFETCH(int, matches);
        const QRegularExpression expression(pattern);
        QVERIFY2(expression.isValid(), qPrintable(expression.errorString()));
        int found = 0;
        for (const QString& text : m_texts.value(QString::fromUtf8(QTest::currentDataTag()).section(u':', 0, 0)))
            found += int(text.count(expression));
        QCOMPARE(found, matches);
    }
};

QTEST_GUILESS_MAIN(QuestionBankTest)
#include "question_bank_test.moc"
