// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/questions.h"
#include "quiz/quiz_session.h"
#include "scripted_random.h"

#include <QSet>
#include <QTest>

namespace {

// The first bank slot whose right answer is the given digit.
int slotWithRightDigit(const QString& digit)
{
    for (int index = 1; index <= Questions::BankSize; ++index) {
        if ((*Questions::QuesBank[static_cast<std::size_t>(index)])[QuestionEntry::RightAnswerDigit] == digit)
            return index;
    }
    return 0;
}

} // namespace

class QuizSessionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void formLoad_data();
    void formLoad();
    void scoresTheFirstChoiceOnly_data();
    void scoresTheFirstChoiceOnly();
    void nextClearsAnsweredAndAdvances();
    void firstQuestionCanBePassedOver();
    void twoQuestionSession();
    void wholeBankSession();
};

// Every session must fill the bank itself.
void QuizSessionTest::init()
{
    Questions::QuesBank.fill(std::nullopt);
}

void QuizSessionTest::formLoad_data()
{
    QTest::addColumn<int>("totQues");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("progress");

    QTest::newRow("2 questions") << 2 << 1 << u"1/2"_qs;
    QTest::newRow("10 questions") << 10 << 63 << u"1/10"_qs;
    QTest::newRow("140 questions") << 140 << 140 << u"1/140"_qs;
}

void QuizSessionTest::formLoad()
{
    QFETCH(int, totQues);
    QFETCH(int, index);
    QFETCH(QString, progress);

    ScriptedRandom random;
    random.feed({0.0f, ScriptedRandom::valueFor(index)});
    QuizSession session(static_cast<qint16>(totQues), random);
    session.Form_Load();

    const auto& entry = Questions::QuesBank[static_cast<std::size_t>(index)];
    QVERIFY(entry.has_value());
    QCOMPARE(session.CurrentEntry(), *entry);
    QCOMPARE(session.Taken(), 1);
    QCOMPARE(session.RightAnswer, (*entry)[QuestionEntry::RightAnswerDigit].toInt());
    QCOMPARE(session.RightCount, 0);
    QCOMPARE(session.WrongCount, 0);
    QCOMPARE(session.Answered, false);
    QCOMPARE(session.onLastQuestion(), false);
    QCOMPARE(session.progressText(), progress);
}

void QuizSessionTest::scoresTheFirstChoiceOnly_data()
{
    QTest::addColumn<QString>("digit");
    QTest::addColumn<int>("chosen");

    for (const QString& digit : {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs}) {
        for (int chosen = 0; chosen < 4; ++chosen)
            QTest::addRow("right answer %s, button %d chosen", qPrintable(digit), chosen) << digit << chosen;
    }
}

void QuizSessionTest::scoresTheFirstChoiceOnly()
{
    QFETCH(QString, digit);
    QFETCH(int, chosen);

    Questions::LoadQuestions();
    const int index = slotWithRightDigit(digit);
    QVERIFY(index > 0);
    const int rightButton = digit.toInt() - 1;
    const bool right = chosen == rightButton;

    ScriptedRandom random;
    random.feed({ScriptedRandom::valueFor(index)});
    QuizSession session(10, random);
    session.Form_Load();
    QCOMPARE(session.RightAnswer, digit.toInt());

    const QuizSession::Choice choice = session.Option1_Click(chosen);
    QVERIFY(choice.scored);
    QCOMPARE(choice.right, right);
    QCOMPARE(choice.chosenIndex, chosen);
    QCOMPARE(choice.rightIndex, rightButton);
    QCOMPARE(session.RightCount, right ? 1 : 0);
    QCOMPARE(session.WrongCount, right ? 0 : 1);
    QVERIFY(session.Answered);

    for (int again = 0; again < 4; ++again) {
        const QuizSession::Choice later = session.Option1_Click(again);
        QVERIFY(!later.scored);
        QCOMPARE(later.rightIndex, rightButton);
    }
    QCOMPARE(session.RightCount, right ? 1 : 0);
    QCOMPARE(session.WrongCount, right ? 0 : 1);
    QCOMPARE(session.Taken(), 1);
    QCOMPARE(session.progressText(), u"1/10"_qs);
}

void QuizSessionTest::nextClearsAnsweredAndAdvances()
{
    ScriptedRandom random;
    random.feed({ScriptedRandom::valueFor(5), ScriptedRandom::valueFor(5), ScriptedRandom::valueFor(90)});
    QuizSession session(3, random);
    session.Form_Load();
    session.Option1_Click(session.RightAnswer - 1);

    session.NextQuestion();
    const QuestionEntry& second = *Questions::QuesBank[90];
    QCOMPARE(session.CurrentEntry(), second);
    QCOMPARE(session.RightAnswer, second[QuestionEntry::RightAnswerDigit].toInt());
    QCOMPARE(session.Answered, false);
    QCOMPARE(session.Taken(), 2);
    QCOMPARE(session.progressText(), u"2/3"_qs);
    QCOMPARE(session.onLastQuestion(), false);
    QCOMPARE(session.RightCount, 1);

    const int wrongButton = session.RightAnswer % 4; // any button but the right one
    QVERIFY(session.Option1_Click(wrongButton).scored);
    QCOMPARE(session.RightCount, 1);
    QCOMPARE(session.WrongCount, 1);
}

// The first question may be passed with Next unanswered: no counter changes, the next one is scored.
void QuizSessionTest::firstQuestionCanBePassedOver()
{
    ScriptedRandom random;
    random.feed({ScriptedRandom::valueFor(1), ScriptedRandom::valueFor(2)});
    QuizSession session(10, random);
    session.Form_Load();
    session.NextQuestion();

    QCOMPARE(session.progressText(), u"2/10"_qs);
    QCOMPARE(session.RightCount, 0);
    QCOMPARE(session.WrongCount, 0);
    QVERIFY(session.Option1_Click(0).scored);
}

void QuizSessionTest::twoQuestionSession()
{
    ScriptedRandom random;
    random.feed({ScriptedRandom::valueFor(140), ScriptedRandom::valueFor(139)});
    QuizSession session(2, random);
    session.Form_Load();
    QVERIFY(!session.onLastQuestion());
    session.Option1_Click(0);

    session.NextQuestion();
    QCOMPARE(session.progressText(), u"2/2"_qs);
    QVERIFY(session.onLastQuestion());
    QVERIFY(!session.Answered);
    session.Option1_Click(1);
    const QuestionEntry last = session.CurrentEntry();
    const qint16 right = session.RightCount;
    const qint16 wrong = session.WrongCount;

    // Next after the last question is the Result press: nothing is drawn, nothing changes.
    session.NextQuestion();
    QCOMPARE(random.valuesTaken, 2);
    QCOMPARE(session.Taken(), 2);
    QCOMPARE(session.draw().UsedIndices.size(), 3u);
    QCOMPARE(session.CurrentEntry(), last);
    QVERIFY(session.Answered);
    QVERIFY(session.onLastQuestion());
    QCOMPARE(session.progressText(), u"2/2"_qs);
    QCOMPARE(session.RightCount, right);
    QCOMPARE(session.WrongCount, wrong);
    QCOMPARE(session.RightCount + session.WrongCount, 2);
}

void QuizSessionTest::wholeBankSession()
{
    ClockMixedRandom random;
    QuizSession session(140, random);
    session.Form_Load();
    QSet<int> shown;
    for (int k = 1;; ++k) {
        QCOMPARE(session.Taken(), k);
        QCOMPARE(session.progressText(), u"%1/140"_qs.arg(k));
        QCOMPARE(session.onLastQuestion(), k == 140);
        const int index = session.draw().DrawnIndex;
        QCOMPARE(session.CurrentEntry(), *Questions::QuesBank[static_cast<std::size_t>(index)]);
        shown.insert(index);
        QVERIFY(session.Option1_Click(k % 3 == 0 ? session.RightAnswer % 4 : session.RightAnswer - 1).scored);
        if (k == 140)
            break;
        session.NextQuestion();
    }
    QCOMPARE(shown.size(), 140);
    QVERIFY(!shown.contains(0));
    QCOMPARE(session.RightCount, 140 - 46);
    QCOMPARE(session.WrongCount, 46);
    QCOMPARE(session.progressText(), u"140/140"_qs);
}

QTEST_GUILESS_MAIN(QuizSessionTest)
#include "quiz_session_test.moc"
