// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing and the quiz rules with chosen random values, and the program's random source.
#include "core/questions.h"
#include "core/quiz_session.h"
#include "scripted_random.h"

#include <QSet>
#include <QTest>

class SessionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indexForValue_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("index");
        QTest::newRow("zero") << 0.0f << 0;
        QTest::newRow("below half a step") << 0.003f << 0;
        QTest::newRow("17.5 goes to even 18") << 0.125f << 18;
        QTest::newRow("52.5 goes to even 52") << 0.375f << 52;
        QTest::newRow("plain") << 0.5f << 70;
        QTest::newRow("largest value below 1") << 0.99999994f << 140;
    }
    void indexForValue()
    {
        QFETCH(float, value);
        QTEST(int(QuestionDraw::IndexForValue(value)), "index");
    }

    // 0 and repeats are drawn again; the accepted entry is a copy of the bank's.
    void drawRejectsZeroAndRepeats()
    {
        Questions::LoadQuestions();
        ScriptedRandom random({0, 7, 7, 0, 140, 7, 1});
        QuestionDraw draw(random);
        for (const int attempts : {2, 3, 2}) {
            draw.DrawQuestion();
            QCOMPARE(draw.lastAttempts(), attempts);
        }
        QCOMPARE(draw.Taken, 3);
        QCOMPARE(draw.UsedIndices, std::vector<qint16>({0, 7, 140, 1}));
        QCOMPARE(draw.DrawnIndex, 1);
        QCOMPARE(draw.CurrentEntry, *Questions::QuesBank[1]);
    }

    // Only the first answer to a question scores, and only an answer 0 to 3; the count ends the drawing.
    void sessionRules()
    {
        ScriptedRandom random({5, 9});
        QuizSession quiz(2, random);
        quiz.start();
        const int right = quiz.rightIndex();
        QCOMPARE(quiz.question(), *Questions::QuesBank[5]);
        QCOMPARE(right, Questions::QuesBank[5]->rightAnswer() - 1);
        const QuizSession::Choice wrong = quiz.choose((right + 1) % 4);
        QCOMPARE(std::tuple(wrong.scored, wrong.right, wrong.rightIndex), std::tuple(true, false, right));
        QCOMPARE(quiz.choose(right).scored, false);
        quiz.next();
        QCOMPARE(quiz.question(), *Questions::QuesBank[9]);
        QCOMPARE(std::tuple(quiz.finished(), quiz.answered()), std::tuple(true, false));
        QCOMPARE(std::tuple(quiz.choose(-1).scored, quiz.choose(4).scored), std::tuple(false, false));
        QCOMPARE(quiz.choose(quiz.rightIndex()).right, true);
        quiz.next(); // past the count: no draw
        QCOMPARE(std::tuple(quiz.taken(), quiz.rightCount(), quiz.wrongCount()), std::tuple(2, 1, 1));
    }

    // The program's source moves on even when the clock stands still.
    void clockMixedRandom()
    {
        ClockMixedRandom random([]() -> std::uint64_t { return 42; });
        QSet<float> values;
        for (int i = 0; i < 1000; ++i, random.Reseed())
            values.insert(random.NextValue());
        const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
        QCOMPARE_GT(values.size(), 990);
        QCOMPARE_GE(*lowest, 0.0f);
        QCOMPARE_LT(*highest, 1.0f);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "session_test.moc"
