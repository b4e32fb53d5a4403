// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/questions.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>

namespace {

constexpr char16_t Ellipsis = u'\u2026';

qsizetype codePoints(const QString& text)
{
    return text.toUcs4().size();
}

// Answers that differ only in letter case, a final "." or a final blank count as the same.
QString answerKey(QString answer)
{
    while (answer.endsWith(u'.') || answer.endsWith(u' '))
        answer.chop(1);
    return answer.toCaseFolded();
}

bool isBareNumber(const QString& answer)
{
    static const QRegularExpression bare(u"^[0-9]+(,[0-9]+)?$"_qs);
    return bare.match(answer).hasMatch();
}

enum class Scope
{
    Questions,
    Answers,
    RightAnswers
};

} // namespace

Q_DECLARE_METATYPE(Scope)

class QuestionBankTest : public QObject
{
    Q_OBJECT

private:
    QStringList texts(Scope scope) const;

    QList<QuestionEntry> m_entries; // slots 1..140 in order

private Q_SLOTS:
    void initTestCase();

    void slotsAndShape();
    void noRepeats();
    void rightDigits_data();
    void rightDigits();
    void lengths_data();
    void lengths();
    void matchCounts_data();
    void matchCounts();
    void bareNumberEntries();
    void sharedAnswerSets();
    void doubleQuotes();
    void characters();
    void reloadGivesTheSameBank();
    void textsArriveUnchanged();
};

QStringList QuestionBankTest::texts(Scope scope) const
{
    QStringList result;
    for (const QuestionEntry& entry : m_entries) {
        if (scope == Scope::Questions)
            result << entry.question();
        else if (scope == Scope::RightAnswers)
            result << entry[entry[QuestionEntry::RightAnswerDigit].toInt()];
        else
            for (int button = 0; button < 4; ++button)
                result << entry.answer(button);
    }
    return result;
}

void QuestionBankTest::initTestCase()
{
    Questions::LoadQuestions();
    for (int index = 1; index <= Questions::BankSize; ++index) {
        const auto& slot = Questions::QuesBank[static_cast<std::size_t>(index)];
        QVERIFY2(slot.has_value(), qPrintable(u"slot %1 is empty"_qs.arg(index)));
        m_entries << *slot;
    }
}

void QuestionBankTest::slotsAndShape()
{
    QCOMPARE(Questions::QuesBank.size(), 141u);
    QVERIFY(!Questions::QuesBank[0].has_value());
    QCOMPARE(m_entries.size(), 140);
    static const QRegularExpression digit(u"^[1-4]$"_qs);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QuestionEntry& entry = m_entries[i];
        const QString where = u"slot %1"_qs.arg(i + 1);
        for (const QString& text : entry.texts)
            QVERIFY2(!text.isEmpty(), qPrintable(where));
        QVERIFY2(digit.match(entry[QuestionEntry::RightAnswerDigit]).hasMatch(), qPrintable(where));
        QVERIFY2(codePoints(entry.question()) <= 99, qPrintable(where));
        for (int button = 0; button < 4; ++button)
            QVERIFY2(codePoints(entry.answer(button)) <= 64, qPrintable(where));
    }
}

void QuestionBankTest::noRepeats()
{
    QSet<QString> questions;
    for (const QuestionEntry& entry : m_entries) {
        QVERIFY2(!questions.contains(entry.question()), qPrintable(entry.question()));
        questions.insert(entry.question());

        QSet<QString> answers;
        for (int button = 0; button < 4; ++button)
            answers.insert(answerKey(entry.answer(button)));
        QVERIFY2(answers.size() == 4, qPrintable(entry.question()));
    }
}

void QuestionBankTest::rightDigits_data()
{
    QTest::addColumn<QString>("digit");
    QTest::addColumn<int>("entries");
    QTest::newRow("1") << u"1"_qs << 42;
    QTest::newRow("2") << u"2"_qs << 46;
    QTest::newRow("3") << u"3"_qs << 36;
    QTest::newRow("4") << u"4"_qs << 16;
}

// Digit d names answer text d, the one on button d - 1.
void QuestionBankTest::rightDigits()
{
    QFETCH(QString, digit);
    QFETCH(int, entries);

    const int number = digit.toInt();
    int found = 0;
    for (const QuestionEntry& entry : m_entries) {
        if (entry[QuestionEntry::RightAnswerDigit] != digit)
            continue;
        ++found;
        QCOMPARE(entry.rightAnswer(), number);
        QCOMPARE(entry.answer(number - 1), entry.texts[static_cast<std::size_t>(number)]);
    }
    QCOMPARE(found, entries);
}

void QuestionBankTest::lengths_data()
{
    QTest::addColumn<Scope>("scope");
    QTest::addColumn<int>("shortest");
    QTest::addColumn<int>("longest");
    QTest::addColumn<int>("ofLongest");

    QTest::newRow("questions") << Scope::Questions << 30 << 99 << 2;
    QTest::newRow("answers") << Scope::Answers << 1 << 64 << 2;
    QTest::newRow("right answers") << Scope::RightAnswers << -1 << 52 << -1;
}

void QuestionBankTest::lengths()
{
    QFETCH(Scope, scope);
    QFETCH(int, shortest);
    QFETCH(int, longest);
    QFETCH(int, ofLongest);

    QList<qsizetype> lengths;
    for (const QString& text : texts(scope))
        lengths << codePoints(text);
    const auto [min, max] = std::minmax_element(lengths.cbegin(), lengths.cend());
    if (shortest >= 0)
        QCOMPARE(*min, shortest);
    QCOMPARE(*max, longest);
    if (ofLongest >= 0)
        QCOMPARE(lengths.count(longest), ofLongest);
}

void QuestionBankTest::matchCounts_data()
{
    QTest::addColumn<Scope>("scope");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("matches");

    QTest::newRow("questions ending with ?") << Scope::Questions << u"\\?$"_qs << 136;
    QTest::newRow("questions ending with .") << Scope::Questions << u"\\.$"_qs << 4;
    QTest::newRow("questions with an ellipsis") << Scope::Questions << u"\u2026"_qs << 2;
    QTest::newRow("answers ending with .") << Scope::Answers << u"\\.$"_qs << 397;
    QTest::newRow("bare numbers") << Scope::Answers << u"^[0-9]+(,[0-9]+)?$"_qs << 140;
    QTest::newRow("bare numbers with a comma") << Scope::Answers << u"^[0-9]+,[0-9]+$"_qs << 8;
    QTest::newRow("years") << Scope::Answers << u"^[0-9]+ Yrs\\.$"_qs << 20;
    QTest::newRow("times") << Scope::Answers << u"^[0-9]+ times\\.$"_qs << 4;
    QTest::newRow("opening parentheses") << Scope::Answers << u"\\("_qs << 180;
    QTest::newRow("parentheses with no blank before") << Scope::Answers << u"(?<! )\\("_qs << 169;
    QTest::newRow("answers ending with )") << Scope::Answers << u"\\)$"_qs << 17;
    QTest::newRow("answers with an ellipsis") << Scope::Answers << u"\u2026"_qs << 4;
    QTest::newRow("double quotes in answers") << Scope::Answers << u"\""_qs << 0;
}

void QuestionBankTest::matchCounts()
{
    QFETCH(Scope, scope);
    QFETCH(QString, pattern);
    QFETCH(int, matches);

    const QRegularExpression expression(pattern);
    QVERIFY(expression.isValid());
    int found = 0;
    for (const QString& text : texts(scope)) {
        for (auto it = expression.globalMatch(text); it.hasNext(); it.next())
            ++found;
    }
    QCOMPARE(found, matches);
}

void QuestionBankTest::bareNumberEntries()
{
    int entries = 0;
    int thousandsEntries = 0;
    int pairEntries = 0;
    int plainFourDigitEntries = 0;
    static const QRegularExpression thousands(u"^[0-9],[0-9]{3}$"_qs);
    static const QRegularExpression pair(u"^[0-9]{2},[0-9]{2}$"_qs);
    static const QRegularExpression fourDigits(u"^[0-9]{4}$"_qs);
    for (const QuestionEntry& entry : m_entries) {
        int bare = 0;
        int thousandsAnswers = 0;
        int pairAnswers = 0;
        int fourDigitAnswers = 0;
        for (int button = 0; button < 4; ++button) {
            const QString answer = entry.answer(button);
            bare += isBareNumber(answer);
            thousandsAnswers += thousands.match(answer).hasMatch();
            pairAnswers += pair.match(answer).hasMatch();
            fourDigitAnswers += fourDigits.match(answer).hasMatch();
        }
        QVERIFY2(bare == 0 || bare == 4, qPrintable(entry.question()));
        entries += bare == 4;
        thousandsEntries += thousandsAnswers == 4;
        pairEntries += pairAnswers == 4;
        plainFourDigitEntries += fourDigitAnswers == 4;
    }
    QCOMPARE(entries, 35);
    QCOMPARE(thousandsEntries, 1);
    QCOMPARE(pairEntries, 1);
    QCOMPARE(plainFourDigitEntries, 1);
}

// Entries that offer the same four answers in the same order under another question.
void QuestionBankTest::sharedAnswerSets()
{
    QHash<QStringList, int> groups;
    for (const QuestionEntry& entry : m_entries)
        ++groups[QStringList{entry.answer(0), entry.answer(1), entry.answer(2), entry.answer(3)}];

    int sharedGroups = 0;
    int sharingEntries = 0;
    int largest = 0;
    for (const int size : std::as_const(groups)) {
        if (size < 2)
            continue;
        ++sharedGroups;
        sharingEntries += size;
        largest = std::max(largest, size);
    }
    QCOMPARE(sharingEntries, 31);
    QCOMPARE(sharedGroups, 12);
    QCOMPARE(largest, 6);
}

void QuestionBankTest::doubleQuotes()
{
    int onePair = 0;
    int twoPairs = 0;
    for (const QString& question : texts(Scope::Questions)) {
        const qsizetype quotes = question.count(u'"');
        QVERIFY2(quotes == 0 || quotes == 2 || quotes == 4, qPrintable(question));
        onePair += quotes == 2;
        twoPairs += quotes == 4;
    }
    QCOMPARE(onePair, 51);
    QCOMPARE(twoPairs, 6);
}

void QuestionBankTest::characters()
{
    int ellipsisTexts = 0;
    int ellipsisEntries = 0;
    int doubleBlankEntries = 0;
    for (const QuestionEntry& entry : m_entries) {
        bool ellipsisHere = false;
        bool doubleBlankHere = false;
        for (const QString& text : entry.texts) {
            for (const QChar c : text) {
                const bool printable = c.unicode() >= 0x20 && c.unicode() <= 0x7e;
                QVERIFY2((printable || c == Ellipsis) && c != u'<' && c != u'>' && c != u'&',
                         qPrintable(u"U+%1 in \"%2\""_qs.arg(int(c.unicode()), 4, 16, QChar(u'0')).arg(text)));
            }
            if (text.contains(Ellipsis)) {
                ++ellipsisTexts;
                ellipsisHere = true;
            }
            doubleBlankHere = doubleBlankHere || text.contains(u"  "_qs);
        }
        ellipsisEntries += ellipsisHere;
        doubleBlankEntries += doubleBlankHere;
    }
    QCOMPARE(ellipsisTexts, 6);
    QCOMPARE(ellipsisEntries, 3); // two questions, and one entry holding it in all four answers
    QCOMPARE(doubleBlankEntries, 9);
}

void QuestionBankTest::reloadGivesTheSameBank()
{
    Questions::QuesBank[7]->texts[0] = u"left over"_qs;
    Questions::LoadQuestions();
    QVERIFY(!Questions::QuesBank[0].has_value());
    for (int index = 1; index <= Questions::BankSize; ++index) {
        const auto& slot = Questions::QuesBank[static_cast<std::size_t>(index)];
        QVERIFY(slot.has_value());
        QCOMPARE(*slot, m_entries[index - 1]);
    }
}

// The unusual characters reach the entries as written: compare with a plain read of the data file.
void QuestionBankTest::textsArriveUnchanged()
{
    QFile file(TEVRIN_SOURCE_DIR "/src/quiz/questions.tsv");
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QVERIFY(lines.size() >= Questions::BankSize);

    const auto unusual = [](const QString& text) { return text.contains(Ellipsis) || text.contains(u"  "_qs); };
    QSet<QString> inFile;
    for (int index = 1; index <= Questions::BankSize; ++index) {
        const QStringList fields = lines[index - 1].split(u'\t');
        for (qsizetype position = 0; position < fields.size(); ++position) {
            if (unusual(fields[position]))
                inFile << u"%1/%2: %3"_qs.arg(index).arg(position).arg(fields[position]);
        }
    }
    QSet<QString> inBank;
    for (int index = 1; index <= Questions::BankSize; ++index) {
        const QuestionEntry& entry = *Questions::QuesBank[static_cast<std::size_t>(index)];
        for (int position = 0; position < QuestionEntry::Size; ++position) {
            if (unusual(entry[position]))
                inBank << u"%1/%2: %3"_qs.arg(index).arg(position).arg(entry[position]);
        }
    }
    QVERIFY(inFile.size() >= 7); // six texts with the ellipsis, some with two blanks
    for (const QString& text : std::as_const(inFile))
        QVERIFY2(inBank.contains(text), qPrintable(u"not in the bank as written: "_qs + text));
    for (const QString& text : std::as_const(inBank))
        QVERIFY2(inFile.contains(text), qPrintable(u"not in the data as written: "_qs + text));
}

QTEST_GUILESS_MAIN(QuestionBankTest)
#include "question_bank_test.moc"
