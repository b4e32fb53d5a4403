// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/question_draw.h"
#include "quiz/questions.h"
#include "scripted_random.h"

#include <QSet>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// The first float whose product with 140 reaches the given value.
float firstValueReaching(double product)
{
    float r = static_cast<float>(product / 140.0);
    while (static_cast<double>(r) * 140.0 >= product)
        r = std::nextafter(r, 0.0f);
    while (static_cast<double>(r) * 140.0 < product)
        r = std::nextafter(r, 1.0f);
    return r;
}

const QuestionEntry& bankEntry(int index)
{
    return *Questions::QuesBank[static_cast<std::size_t>(index)];
}

} // namespace

class QuestionDrawTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void indexForValue_data();
    void indexForValue();
    void everyIndexHasAValue();

    void firstDraw_data();
    void firstDraw();
    void repeatIsDrawnAgain();
    void listGrowsByOnePerDraw_data();
    void listGrowsByOnePerDraw();
    void currentEntryIsACopy();

    void clockSourceDrawsEveryIndexOnce();
    void clockSourceKeepsMovingWhenReseeded_data();
    void clockSourceKeepsMovingWhenReseeded();
};

void QuestionDrawTest::initTestCase()
{
    Questions::LoadQuestions();
    for (int index = 1; index <= Questions::BankSize; ++index)
        QVERIFY(Questions::QuesBank[static_cast<std::size_t>(index)].has_value());
}

void QuestionDrawTest::indexForValue_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("index");

    const float fromHalf = firstValueReaching(0.5);
    const float fromLastHalf = firstValueReaching(139.5);

    QTest::newRow("zero") << 0.0f << 0;
    QTest::newRow("smallest positive") << std::numeric_limits<float>::denorm_min() << 0;
    QTest::newRow("product just below 0.5") << std::nextafter(fromHalf, 0.0f) << 0;
    QTest::newRow("product just above 0.5") << fromHalf << 1;
    QTest::newRow("17.5 halves to 18") << 0.125f << 18;
    QTest::newRow("52.5 halves to 52") << 0.375f << 52;
    QTest::newRow("one half") << 0.5f << 70;
    QTest::newRow("87.5 halves to 88") << 0.625f << 88;
    QTest::newRow("122.5 halves to 122") << 0.875f << 122;
    QTest::newRow("product just below 139.5") << std::nextafter(fromLastHalf, 0.0f) << 139;
    QTest::newRow("product just above 139.5") << fromLastHalf << 140;
    QTest::newRow("just below 1") << std::nextafter(1.0f, 0.0f) << 140;
}

void QuestionDrawTest::indexForValue()
{
    QFETCH(float, value);
    QFETCH(int, index);
    QCOMPARE(QuestionDraw::IndexForValue(value), index);
}

// The scripts of the other tests rely on this choice of value per index.
void QuestionDrawTest::everyIndexHasAValue()
{
    for (int index = 1; index <= Questions::BankSize; ++index)
        QCOMPARE(QuestionDraw::IndexForValue(ScriptedRandom::valueFor(index)), index);
}

void QuestionDrawTest::firstDraw_data()
{
    QTest::addColumn<QList<float>>("script");
    QTest::addColumn<int>("index");

    QTest::newRow("zero is drawn again") << QList<float>{0.0f, 0.125f} << 18;
    QTest::newRow("below a half is drawn again") << QList<float>{0.003f, 0.375f} << 52;
    QTest::newRow("several rejections") << QList<float>{0.0f, 0.001f, 0.0f, 0.5f} << 70;
    QTest::newRow("half to even, up") << QList<float>{0.625f} << 88;
    QTest::newRow("half to even, down") << QList<float>{0.875f} << 122;
    QTest::newRow("just below 1 is entry 140") << QList<float>{std::nextafter(1.0f, 0.0f)} << 140;
}

void QuestionDrawTest::firstDraw()
{
    QFETCH(QList<float>, script);
    QFETCH(int, index);

    ScriptedRandom random;
    random.feed(script);
    QuestionDraw draw(random);
    draw.DrawQuestion();

    QCOMPARE(random.remaining(), 0);
    QCOMPARE(random.reseeds, script.size());
    QCOMPARE(random.valuesWithoutReseed, 0);
    QCOMPARE(draw.DrawnIndex, index);
    QCOMPARE(draw.Taken, 1);
    QCOMPARE(draw.UsedIndices.size(), 2u);
    QCOMPARE(draw.UsedIndices[1], index);
    QCOMPARE(draw.CurrentEntry, bankEntry(index));
}

void QuestionDrawTest::repeatIsDrawnAgain()
{
    ScriptedRandom random;
    random.feed({0.125f, 0.375f});
    QuestionDraw draw(random);
    draw.DrawQuestion();
    draw.DrawQuestion();
    QCOMPARE(random.reseeds, 2);

    random.feed({0.125f, 0.375f, 0.0f, 0.125f, 0.625f});
    draw.DrawQuestion();
    QCOMPARE(random.remaining(), 0);
    QCOMPARE(random.reseeds, 7);
    QCOMPARE(random.valuesWithoutReseed, 0);
    QCOMPARE(draw.Taken, 3);
    QCOMPARE(draw.UsedIndices, (std::vector<qint16>{draw.UsedIndices[0], 18, 52, 88}));
    QCOMPARE(draw.CurrentEntry, bankEntry(88));
}

void QuestionDrawTest::listGrowsByOnePerDraw_data()
{
    QTest::addColumn<int>("draws");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("30") << 30;
    QTest::newRow("the whole bank") << 140;
}

void QuestionDrawTest::listGrowsByOnePerDraw()
{
    QFETCH(int, draws);

    // 53 and 140 share no factor, so this walks all 140 indices in a scattered order.
    const auto indexOfDraw = [](int k) { return (k * 53) % 140 + 1; };
    ScriptedRandom random;
    QuestionDraw draw(random);
    for (int k = 1; k <= draws; ++k) {
        random.feed({ScriptedRandom::valueFor(indexOfDraw(k))});
        draw.DrawQuestion();
        QCOMPARE(draw.Taken, k);
        QCOMPARE(draw.UsedIndices.size(), static_cast<std::size_t>(k) + 1);
        QCOMPARE(draw.UsedIndices[static_cast<std::size_t>(k)], indexOfDraw(k));
        QCOMPARE(draw.CurrentEntry, bankEntry(indexOfDraw(k)));
    }
    QCOMPARE(random.reseeds, draws);
}

void QuestionDrawTest::currentEntryIsACopy()
{
    const auto bankBefore = Questions::QuesBank;
    ScriptedRandom random;
    random.feed({ScriptedRandom::valueFor(7)});
    QuestionDraw draw(random);
    draw.DrawQuestion();

    for (int position = 0; position < QuestionEntry::Size; ++position)
        draw.CurrentEntry[position] = u"changed"_qs;
    QCOMPARE(Questions::QuesBank, bankBefore);
}

void QuestionDrawTest::clockSourceDrawsEveryIndexOnce()
{
    const auto bankBefore = Questions::QuesBank;
    ClockMixedRandom random;
    QuestionDraw draw(random);
    QSet<QString> questions;
    for (int k = 1; k <= Questions::BankSize; ++k) {
        draw.DrawQuestion();
        QCOMPARE(draw.CurrentEntry, bankEntry(draw.DrawnIndex));
        questions.insert(draw.CurrentEntry.question());
    }

    std::vector<qint16> drawn(draw.UsedIndices.begin() + 1, draw.UsedIndices.end());
    std::sort(drawn.begin(), drawn.end());
    std::vector<qint16> all(Questions::BankSize);
    std::iota(all.begin(), all.end(), qint16(1));
    QCOMPARE(drawn, all);
    QCOMPARE(questions.size(), Questions::BankSize);
    QCOMPARE(Questions::QuesBank, bankBefore);
}

// Re-seeds follow each other faster than the clock ticks; the values must still move on,
// even with a clock that stands still.
void QuestionDrawTest::clockSourceKeepsMovingWhenReseeded_data()
{
    QTest::addColumn<bool>("clockStandsStill");
    QTest::newRow("real clock") << false;
    QTest::newRow("clock standing still") << true;
}

void QuestionDrawTest::clockSourceKeepsMovingWhenReseeded()
{
    QFETCH(bool, clockStandsStill);
    ClockMixedRandom random(clockStandsStill ? [] { return std::uint64_t(42); }
                                             : ClockMixedRandom::HighResolutionTicks);
    QSet<float> distinct;
    for (int i = 0; i < 1000; ++i) {
        random.Reseed();
        const float value = random.NextValue();
        QVERIFY2(value >= 0.0f && value < 1.0f, qPrintable(QString::number(value, 'g', 9)));
        distinct.insert(value);
    }
    QVERIFY2(distinct.size() >= 900, qPrintable(QString::number(distinct.size())));
}

QTEST_GUILESS_MAIN(QuestionDrawTest)
#include "question_draw_test.moc"
