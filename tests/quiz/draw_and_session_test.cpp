// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/question_draw.h"
#include "quiz/questions.h"
#include "quiz/quiz_session.h"
#include "quiz/random_source.h"

#include <QSet>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Hands out exactly the values it was fed and counts the re-seeds, so that a test knows every
// attempt of a draw; running out means the draw took more attempts than planned.
class ScriptedRandom final : public RandomSource
{
public:
    void feed(const QList<float>& values) { m_values += values; }
    void Reseed() override
    {
        ++reseeds;
        m_reseeded = true;
    }
    float NextValue() override
    {
        valuesWithoutReseed += m_reseeded ? 0 : 1;
        m_reseeded = false;
        if (taken >= m_values.size())
            throw std::runtime_error("the draw asked for more random values than scripted");
        return m_values[taken++];
    }

    // The value that selects bank index 1..140.
    static float valueFor(int index) { return static_cast<float>(index) / 140.0f; }

    int reseeds = 0;
    int valuesWithoutReseed = 0;
    qsizetype taken = 0;

private:
    QList<float> m_values;
    bool m_reseeded = false;
};

const QuestionEntry& bankEntry(int index)
{
    return *Questions::QuesBank[std::size_t(index)];
}

} // namespace

// The drawing of questions and the rules of one quiz session.
class DrawAndSessionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Questions::LoadQuestions(); }

    void indexForValue_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("index");

        // The floats nearest to r x 140 = 0.5 and = 139.5; their neighbours lie on either side.
        const float half = 0.5f / 140.0f;
        const float lastHalf = 139.5f / 140.0f;
        QTest::newRow("zero") << 0.0f << 0;
        QTest::newRow("smallest positive") << std::numeric_limits<float>::denorm_min() << 0;
        QTest::newRow("product just below 0.5") << std::nextafter(half, 0.0f) << 0;
        QTest::newRow("product just above 0.5") << std::nextafter(half, 1.0f) << 1;
        QTest::newRow("17.5 halves to 18") << 0.125f << 18;
        QTest::newRow("52.5 halves to 52") << 0.375f << 52;
        QTest::newRow("one half") << 0.5f << 70;
        QTest::newRow("87.5 halves to 88") << 0.625f << 88;
        QTest::newRow("122.5 halves to 122") << 0.875f << 122;
        QTest::newRow("product just below 139.5") << std::nextafter(lastHalf, 0.0f) << 139;
        QTest::newRow("product just above 139.5") << std::nextafter(lastHalf, 1.0f) << 140;
        QTest::newRow("largest below 1") << std::nextafter(1.0f, 0.0f) << 140;
    }

    // A draw takes a value that names an entry; one that names none is drawn again, after a re-seed
    // as before every attempt.
    void indexForValue()
    {
        QFETCH(float, value);
        QFETCH(int, index);
        QCOMPARE(QuestionDraw::IndexForValue(value), index);

        const int drawn = index == 0 ? 18 : index;
        ScriptedRandom random;
        random.feed({value, 0.125f});
        QuestionDraw draw(random);
        draw.DrawQuestion();
        QCOMPARE(random.reseeds, index == 0 ? 2 : 1);
        QCOMPARE(random.valuesWithoutReseed, 0);
        QCOMPARE(draw.DrawnIndex, drawn);
        QCOMPARE(draw.Taken, 1);
        QCOMPARE(draw.UsedIndices, (std::vector<qint16>{draw.UsedIndices[0], qint16(drawn)}));
        QCOMPARE(draw.CurrentEntry, bankEntry(drawn));
    }

    void repeatIsDrawnAgain()
    {
        ScriptedRandom random;
        random.feed({0.125f, 0.375f, 0.125f, 0.375f, 0.0f, 0.125f, 0.625f});
        QuestionDraw draw(random);
        for (int k = 0; k < 3; ++k)
            draw.DrawQuestion();
        QCOMPARE(random.taken, 7);
        QCOMPARE(random.reseeds, 7);
        QCOMPARE(random.valuesWithoutReseed, 0);
        QCOMPARE(draw.Taken, 3);
        QCOMPARE(draw.UsedIndices, (std::vector<qint16>{draw.UsedIndices[0], 18, 52, 88}));
        QCOMPARE(draw.CurrentEntry, bankEntry(88));
    }

    // Slot k of UsedIndices holds the k-th draw, over the whole bank in a scattered order; each
    // draw takes one attempt, so every index has a value that names it. The entry is a copy.
    void usedIndicesGrowByOnePerDraw()
    {
        const auto bankBefore = Questions::QuesBank;
        const auto indexOfDraw = [](int k) { return (k * 53) % 140 + 1; }; // 53 and 140 share no factor
        ScriptedRandom random;
        QuestionDraw draw(random);
        for (int k = 1; k <= Questions::BankSize; ++k) {
            random.feed({ScriptedRandom::valueFor(indexOfDraw(k))});
            draw.DrawQuestion();
            QCOMPARE(draw.Taken, k);
            QCOMPARE(draw.UsedIndices.size(), std::size_t(k) + 1);
            QCOMPARE(draw.UsedIndices[std::size_t(k)], indexOfDraw(k));
            QCOMPARE(draw.CurrentEntry, bankEntry(indexOfDraw(k)));
        }
        QCOMPARE(random.reseeds, Questions::BankSize);
        draw.CurrentEntry.texts.fill(u"changed"_qs);
        QCOMPARE(Questions::QuesBank, bankBefore);
    }

    void clockSourceDrawsEveryIndexOnce()
    {
        ClockMixedRandom random;
        QuestionDraw draw(random);
        QSet<qint16> drawn;
        for (int k = 1; k <= Questions::BankSize; ++k) {
            draw.DrawQuestion();
            QCOMPARE(draw.CurrentEntry, bankEntry(draw.DrawnIndex));
            drawn << draw.DrawnIndex;
        }
        QCOMPARE(drawn.size(), Questions::BankSize);
        QCOMPARE(*std::min_element(drawn.cbegin(), drawn.cend()), 1);
        QCOMPARE(*std::max_element(drawn.cbegin(), drawn.cend()), 140);
    }

    void clockSourceKeepsMovingWhenReseeded_data()
    {
        QTest::addColumn<bool>("clockStandsStill");
        QTest::newRow("real clock") << false;
        QTest::newRow("clock standing still") << true;
    }

    // Re-seeds follow each other faster than the clock ticks; the values must still move on.
    void clockSourceKeepsMovingWhenReseeded()
    {
        QFETCH(bool, clockStandsStill);
        ClockMixedRandom random(clockStandsStill ? [] { return std::uint64_t(42); }
                                                 : ClockMixedRandom::HighResolutionTicks);
        QSet<float> distinct;
        for (int i = 0; i < 1000; ++i) {
            random.Reseed();
            const float value = random.NextValue();
            QVERIFY2(value >= 0.0f && value < 1.0f, qPrintable(QString::number(value, 'g', 9)));
            distinct << value;
        }
        QVERIFY2(distinct.size() >= 900, qPrintable(QString::number(distinct.size())));
    }

    void scoresTheFirstChoiceOnly_data()
    {
        QTest::addColumn<int>("digit");
        QTest::addColumn<int>("chosen");
        for (int digit = 1; digit <= 4; ++digit) {
            for (int chosen = 0; chosen < 4; ++chosen)
                QTest::addRow("right answer %d, button %d chosen", digit, chosen) << digit << chosen;
        }
    }

    // The load state, then the first choice of answer scored and every later one ignored.
    void scoresTheFirstChoiceOnly()
    {
        QFETCH(int, digit);
        QFETCH(int, chosen);

        int index = 1;
        while (bankEntry(index).rightAnswer() != digit)
            ++index;
        Questions::QuesBank.fill(std::nullopt); // the session must fill the bank itself
        ScriptedRandom random;
        random.feed({0.0f, ScriptedRandom::valueFor(index)});
        QuizSession session(10, random);
        session.Form_Load();
        QVERIFY(Questions::QuesBank[std::size_t(index)]);
        QCOMPARE(session.CurrentEntry(), bankEntry(index));
        QCOMPARE(session.RightAnswer, digit);
        QCOMPARE(session.Taken(), 1);
        QVERIFY(!session.Answered && !session.onLastQuestion());
        QCOMPARE(session.RightCount + session.WrongCount, 0);

        const bool right = chosen == digit - 1;
        const QuizSession::Choice choice = session.Option1_Click(chosen);
        QVERIFY(choice.scored && session.Answered);
        QCOMPARE(choice.right, right);
        QCOMPARE(choice.chosenIndex, chosen);
        QCOMPARE(choice.rightIndex, digit - 1);
        for (int again = 0; again < 4; ++again) {
            const QuizSession::Choice later = session.Option1_Click(again);
            QVERIFY(!later.scored);
            QCOMPARE(later.rightIndex, digit - 1);
        }
        QCOMPARE(session.RightCount, right ? 1 : 0);
        QCOMPARE(session.WrongCount, right ? 0 : 1);
        QCOMPARE(session.progressText(), u"1/10"_qs);
    }

    void nextUntilTheLastQuestion()
    {
        ScriptedRandom random;
        random.feed({ScriptedRandom::valueFor(5), ScriptedRandom::valueFor(5), ScriptedRandom::valueFor(90),
                     ScriptedRandom::valueFor(7)});
        QuizSession session(3, random);
        session.Form_Load();
        session.Option1_Click(session.RightAnswer - 1);

        session.NextQuestion();
        QCOMPARE(session.CurrentEntry(), bankEntry(90));
        QCOMPARE(session.RightAnswer, bankEntry(90).rightAnswer());
        QVERIFY(!session.Answered && !session.onLastQuestion());
        QCOMPARE(session.progressText(), u"2/3"_qs);

        // A question passed over unanswered scores nothing.
        session.NextQuestion();
        QCOMPARE(session.progressText(), u"3/3"_qs);
        QVERIFY(session.onLastQuestion() && !session.Answered);
        QVERIFY(session.Option1_Click(session.RightAnswer % 4).scored);
        const QuestionEntry last = session.CurrentEntry();

        // Next after the last question is the Result press: nothing is drawn, nothing changes.
        session.NextQuestion();
        QCOMPARE(random.taken, 4);
        QCOMPARE(session.Taken(), 3);
        QCOMPARE(session.draw().UsedIndices.size(), 4u);
        QCOMPARE(session.CurrentEntry(), last);
        QVERIFY(session.Answered && session.onLastQuestion());
        QCOMPARE(session.progressText(), u"3/3"_qs);
        QCOMPARE(session.RightCount, 1);
        QCOMPARE(session.WrongCount, 1);
    }
};

QTEST_GUILESS_MAIN(DrawAndSessionTest)
#include "draw_and_session_test.moc"
