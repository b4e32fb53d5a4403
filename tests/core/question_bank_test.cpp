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
            m_texts[u"questions"_qs] << slot->question();
            m_texts[u"answers"_qs] << QStringList(slot->texts.begin() + 1, slot->texts.begin() + 5);
            m_texts[u"right answers"_qs] << slot->answer(slot->rightAnswer() - 1);
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
        QTest::newRow("questions: 30 characters") << u"^.{30}$"_qs << 1;
        QTest::newRow("questions: 99 characters") << u"^.{99}$"_qs << 2;
        QTest::newRow("answers: 64 characters") << u"^.{64}$"_qs << 2;
        QTest::newRow("right answers: 52 characters") << u"^.{52}$"_qs << 1;
        QTest::newRow("right answers: over 52") << u"^.{53}"_qs << 0;
        QTest::newRow("bank: a question twice") << u"(?m)^([^\t\n]*\t)(?=[\\s\\S]*^\\1)"_qs << 0;
        // Letter case and a final "." or blank aside.
        QTest::newRow("lines: an answer twice in one entry") << u"(?i)\t([^\t]*?)[. ]*\t([^\t]*\t)*?\\1[. ]*\t"_qs << 0;
        // 31 entries share their four answers, in order, with others, in 12 groups of at most 6.
        const QString answerSet = u"(?m)^[^\t\n]*((\t[^\t\n]*){4}\t)(?=([\\s\\S]*?^[^\t\n]*\\1)"_qs;
        QTest::newRow("bank: four answers that come again") << answerSet + u")"_qs << 31 - 12;
        QTest::newRow("bank: four answers that come five times again") << answerSet + u"{5})"_qs << 1;
        QTest::newRow("answers: bare numbers") << u"^[0-9]+(,[0-9]+)?$"_qs << 140;
        QTest::newRow("lines: four bare numbers") << u"^[^\t]*(\t[0-9]+(,[0-9]+)?){4}\t"_qs << 35;
        QTest::newRow("answers: bare numbers with a comma") << u"^[0-9]+,[0-9]+$"_qs << 8;
        QTest::newRow("questions: quoting once") << u"^[^\"]*\"[^\"]*\"[^\"]*$"_qs << 51;
        QTest::newRow("questions: quoting twice") << u"^[^\"]*(\"[^\"]*\"[^\"]*){2}$"_qs << 6;
        QTest::newRow("lines: quotation marks, all in questions") << u"\""_qs << 51 * 2 + 6 * 4;
        QTest::newRow("lines: ellipsis, in two questions and four answers") << u"\u2026"_qs << 6;
        QTest::newRow("lines: ellipsis in all four answers") << u"^[^\t]*(\t[^\t]*\u2026[^\t]*){4}\t"_qs << 1;
        QTest::newRow("lines: two blanks in a row") << u"^.*  "_qs << 9;
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
