// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing and the quiz rules with chosen random values, then a few hundred seeded quizzes
// checked for repeats and for counters that agree with what was played.
#include "core/questions.h"
#include "core/quiz_session.h"
#include "fake_services.h"

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

    // Only the first answer to a question scores; the count ends the drawing.
    void sessionRules()
    {
        ScriptedRandom random({5, 9});
        QuizSession quiz(2, random);
        quiz.start();
        QCOMPARE(quiz.question(), *Questions::QuesBank[5]);
        const int right = quiz.rightIndex();
        QCOMPARE(right, Questions::QuesBank[5]->rightAnswer() - 1);
        QVERIFY(!quiz.finished() && !quiz.answered());
        const QuizSession::Choice wrong = quiz.choose((right + 1) % 4);
        QVERIFY(wrong.scored && !wrong.right && wrong.rightIndex == right && quiz.answered());
        QVERIFY(!quiz.choose(right).scored);
        QCOMPARE(std::pair(quiz.rightCount(), quiz.wrongCount()), std::pair(0, 1));
        quiz.next();
        QCOMPARE(quiz.question(), *Questions::QuesBank[9]);
        QVERIFY(quiz.finished() && !quiz.answered() && quiz.taken() == 2);
        QVERIFY(quiz.choose(quiz.rightIndex()).right);
        quiz.next(); // past the count: no draw
        QCOMPARE(quiz.taken(), 2);
        QCOMPARE(std::pair(quiz.rightCount(), quiz.wrongCount()), std::pair(1, 1));
        QVERIFY(!quiz.choose(-1).scored && !quiz.choose(4).scored);
    }

    void seededQuizzes()
    {
        std::mt19937 player(20261206);
        for (int round = 0; round < 300; ++round) {
            ScriptedRandom random({}, player());
            const int total = round % 3 ? 2 + int(player() % 139) : 140;
            QuizSession quiz(static_cast<qint16>(total), random);
            quiz.start();
            QSet<int> seen;
            int right = 0, wrong = 0;
            for (;;) {
                const int index = quiz.draw().DrawnIndex;
                QVERIFY(index >= 1 && index <= 140 && !seen.contains(index));
                seen.insert(index);
                QCOMPARE(quiz.question(), *Questions::QuesBank[std::size_t(index)]);
                if (player() % 5) {
                    const QuizSession::Choice choice = quiz.choose(int(player() % 4));
                    ++(choice.right ? right : wrong);
                }
                if (quiz.finished())
                    break;
                quiz.next();
            }
            QVERIFY(quiz.taken() == total && seen.size() == total);
            QCOMPARE(std::pair(quiz.rightCount(), quiz.wrongCount()), std::pair(right, wrong));
        }
    }

    // The program's source moves on even when the clock stands still.
    void clockMixedRandom()
    {
        ClockMixedRandom random([]() -> std::uint64_t { return 42; });
        QSet<float> values;
        for (int i = 0; i < 1000; ++i, random.Reseed())
            values.insert(random.NextValue());
        QVERIFY(values.size() > 990 && *std::min_element(values.begin(), values.end()) >= 0.0f &&
                *std::max_element(values.begin(), values.end()) < 1.0f);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "session_test.moc"
