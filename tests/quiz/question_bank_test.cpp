// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled-in bank against the facts known about its 140 entries.
#include "quiz/questions.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <numeric>

class QuestionBankTest : public QObject
{
    Q_OBJECT

    QList<QuestionEntry> m_entries;      // slots 1..140 in order
    QHash<QString, QStringList> m_texts; // by scope: questions, answers, right answers, digits, all

private Q_SLOTS:
    void initTestCase()
    {
        Questions::LoadQuestions();
        QCOMPARE(Questions::QuesBank.size(), 141u);
        QVERIFY(!Questions::QuesBank[0]);
        for (int index = 1; index <= Questions::BankSize; ++index) {
            QVERIFY2(Questions::QuesBank[std::size_t(index)], qPrintable(u"slot %1 is empty"_qs.arg(index)));
            const QuestionEntry& entry = m_entries.emplaceBack(*Questions::QuesBank[std::size_t(index)]);
            m_texts[u"questions"_qs] << entry.question();
            m_texts[u"answers"_qs] << QStringList(entry.texts.begin() + 1, entry.texts.begin() + 5);
            m_texts[u"right answers"_qs] << entry.answer(entry.rightAnswer() - 1);
            m_texts[u"digits"_qs] << entry[QuestionEntry::RightAnswerDigit];
            m_texts[u"all"_qs] << QStringList(entry.texts.begin(), entry.texts.end());
        }
    }

    void matchCounts_data()
    {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("matches");

        const QString questions = u"questions"_qs;
        const QString answers = u"answers"_qs;
        QTest::newRow("empty texts") << u"all"_qs << u"^$"_qs << 0;
        QTest::newRow("beyond printable ASCII and the ellipsis, or markup")
            << u"all"_qs << u"[^\\x{20}-\\x{7E}\\x{2026}]|[<>&]"_qs << 0;
        for (int digit = 1; digit <= 4; ++digit)
            QTest::addRow("right answer %d", digit)
                << u"digits"_qs << u"^%1$"_qs.arg(digit) << QList{42, 46, 36, 16}[digit - 1];
        QTest::newRow("questions under 30 characters") << questions << u"^.{1,29}$"_qs << 0;
        QTest::newRow("questions of 30") << questions << u"^.{30}$"_qs << 1;
        QTest::newRow("questions of 99") << questions << u"^.{99}$"_qs << 2;
        QTest::newRow("questions over 99") << questions << u"^.{100,}$"_qs << 0;
        QTest::newRow("answers of 1 character") << answers << u"^.$"_qs << 54;
        QTest::newRow("answers of 64") << answers << u"^.{64}$"_qs << 2;
        QTest::newRow("answers over 64") << answers << u"^.{65,}$"_qs << 0;
        QTest::newRow("right answers of 52") << u"right answers"_qs << u"^.{52}$"_qs << 1;
        QTest::newRow("right answers over 52") << u"right answers"_qs << u"^.{53,}$"_qs << 0;
        QTest::newRow("questions ending with ?") << questions << u"\\?$"_qs << 136;
        QTest::newRow("questions ending with .") << questions << u"\\.$"_qs << 4;
        QTest::newRow("questions with an ellipsis") << questions << u"\u2026"_qs << 2;
        QTest::newRow("questions quoting once") << questions << u"^[^\"]*(\"[^\"]*\"[^\"]*){1}$"_qs << 51;
        QTest::newRow("questions quoting twice") << questions << u"^[^\"]*(\"[^\"]*\"[^\"]*){2}$"_qs << 6;
        QTest::newRow("quotation marks in questions") << questions << u"\""_qs << 51 * 2 + 6 * 4;
        QTest::newRow("answers ending with .") << answers << u"\\.$"_qs << 397;
        QTest::newRow("bare numbers") << answers << u"^[0-9]+(,[0-9]+)?$"_qs << 140;
        QTest::newRow("bare numbers with a comma") << answers << u"^[0-9]+,[0-9]+$"_qs << 8;
        QTest::newRow("years") << answers << u"^[0-9]+ Yrs\\.$"_qs << 20;
        QTest::newRow("times") << answers << u"^[0-9]+ times\\.$"_qs << 4;
        QTest::newRow("opening parentheses") << answers << u"\\("_qs << 180;
        QTest::newRow("parentheses with no blank before") << answers << u"(?<! )\\("_qs << 169;
        QTest::newRow("answers ending with )") << answers << u"\\)$"_qs << 17;
        QTest::newRow("answers with an ellipsis") << answers << u"\u2026"_qs << 4;
        QTest::newRow("quotation marks in answers") << answers << u"\""_qs << 0;
    }

    void matchCounts()
    {
        QFETCH(QString, scope);
        QFETCH(QString, pattern);
        QFETCH(int, matches);

        const QRegularExpression expression(pattern);
        QVERIFY2(expression.isValid(), qPrintable(expression.errorString()));
        int found = 0;
        for (const QString& text : m_texts.value(scope)) {
            for (auto it = expression.globalMatch(text); it.hasNext(); it.next())
                ++found;
        }
        QCOMPARE(found, matches);
    }

    void entryCounts_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("inAnyText");    // entries with a match in their question or an answer
        QTest::addColumn<int>("inAllAnswers"); // entries whose four answers all match

        QTest::newRow("bare numbers, all or none") << u"^[0-9]+(,[0-9]+)?$"_qs << 35 << 35;
        QTest::newRow("thousands") << u"^[0-9],[0-9]{3}$"_qs << 1 << 1;
        QTest::newRow("pairs of two digits") << u"^[0-9]{2},[0-9]{2}$"_qs << 1 << 1;
        QTest::newRow("four digits, no comma") << u"^[0-9]{4}$"_qs << 1 << 1;
        QTest::newRow("ellipsis: two questions, one entry's four answers") << u"\u2026"_qs << 3 << 1;
        QTest::newRow("double blanks") << u"  "_qs << 9 << 0;
    }

    void entryCounts()
    {
        QFETCH(QString, pattern);
        QFETCH(int, inAnyText);
        QFETCH(int, inAllAnswers);

        const QRegularExpression expression(pattern);
        const auto matches = [&expression](const QString& text) { return expression.match(text).hasMatch(); };
        int any = 0;
        int all = 0;
        for (const QuestionEntry& entry : m_entries) {
            any += std::any_of(entry.texts.begin(), entry.texts.begin() + 5, matches);
            all += std::all_of(entry.texts.begin() + 1, entry.texts.begin() + 5, matches);
        }
        QCOMPARE(any, inAnyText);
        QCOMPARE(all, inAllAnswers);
    }

    // No question comes twice, no entry offers an answer twice (letter case and a final "." or blank
    // aside), and 31 entries share their four answers, in order, with others: 12 groups, 6 at most.
    void repeats()
    {
        QCOMPARE(QSet<QString>(m_texts[u"questions"_qs].begin(), m_texts[u"questions"_qs].end()).size(), 140);
        QHash<QStringList, int> groups;
        for (const QuestionEntry& entry : m_entries) {
            const QStringList answers(entry.texts.begin() + 1, entry.texts.begin() + 5);
            ++groups[answers];
            static const QRegularExpression ending(u"[. ]+$"_qs);
            QSet<QString> distinct;
            for (const QString& answer : answers)
                distinct << answer.toCaseFolded().remove(ending);
            QVERIFY2(distinct.size() == 4, qPrintable(entry.question()));
        }
        QList<int> shared;
        for (const int size : std::as_const(groups)) {
            if (size > 1)
                shared << size;
        }
        QCOMPARE(shared.size(), 12);
        QCOMPARE(std::accumulate(shared.begin(), shared.end(), 0), 31);
        QCOMPARE(*std::max_element(shared.begin(), shared.end()), 6);
    }

    void reloadGivesTheSameBank()
    {
        Questions::QuesBank[7]->texts[0] = u"left over"_qs;
        Questions::LoadQuestions();
        QVERIFY(!Questions::QuesBank[0]);
        for (int index = 1; index <= Questions::BankSize; ++index)
            QVERIFY(Questions::QuesBank[std::size_t(index)] == m_entries[index - 1]);
    }

    // The ellipsis and the double blanks reach the entries exactly as the data file has them.
    void textsArriveUnchanged()
    {
        QFile file(TEVRIN_SOURCE_DIR "/src/quiz/questions.tsv");
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        QVERIFY(lines.size() >= Questions::BankSize);
        for (int index = 1; index <= Questions::BankSize; ++index)
            QCOMPARE(lines[index - 1].split(u'\t'),
                     QStringList(m_entries[index - 1].texts.begin(), m_entries[index - 1].texts.end()));
    }
};

QTEST_GUILESS_MAIN(QuestionBankTest)
#include "question_bank_test.moc"
