// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of up to three characters over a hostile alphabet, typed into the count box and
// followed by Start: refused with the one message, or a quiz of the rounded count.
#include "fake_services.h"
#include "quiz/quiz_screen.h"
#include "shell/screen_flow.h"
#include "shell/welcome_screen.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <memory>
#include <optional>

namespace {

const QString Alphabet = u"0123456789 +-.,eE$&Ha\u00e9"_qs;
constexpr int LongestText = 3;

// The count a text asks for, by a grammar of its own: blanks around; an optional sign; digits
// with an optional decimal point and at least one digit; an optional exponent of e or E, an
// optional sign and at least one digit. The value is exact (a ratio of integers), so the range
// test and the rounding of halves to even need no floating point. Empty when refused.
std::optional<int> expectedCount(const QString& text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    while (end > i && text[end - 1] == u' ')
        --end;
    const auto isDigit = [&](qsizetype at) { return at < end && text[at] >= u'0' && text[at] <= u'9'; };

    bool negative = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    std::int64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    for (; isDigit(i); ++i, ++digits)
        mantissa = mantissa * 10 + (text[i].unicode() - u'0');
    if (i < end && text[i] == u'.') {
        for (++i; isDigit(i); ++i, ++digits, ++fractionDigits)
            mantissa = mantissa * 10 + (text[i].unicode() - u'0');
    }
    if (digits == 0)
        return std::nullopt;
    int exponent = 0;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            negativeExponent = text[i++] == u'-';
        if (!isDigit(i))
            return std::nullopt;
        for (; isDigit(i); ++i)
            exponent = exponent * 10 + (text[i].unicode() - u'0');
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != end)
        return std::nullopt;

    // value = numerator / denominator, exactly; three characters keep both far from overflow.
    std::int64_t numerator = negative ? -mantissa : mantissa;
    std::int64_t denominator = 1;
    const int scale = exponent - fractionDigits;
    for (int k = 0; k < scale; ++k)
        numerator *= 10;
    for (int k = 0; k < -scale; ++k)
        denominator *= 10;
    if (numerator < 2 * denominator || numerator > 140 * denominator)
        return std::nullopt;
    std::int64_t count = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && count % 2 != 0))
        ++count;
    return static_cast<int>(count);
}

void appendTexts(QStringList& texts, const QString& prefix, int room)
{
    texts.append(prefix);
    if (room == 0)
        return;
    for (const QChar c : Alphabet)
        appendTexts(texts, prefix + c, room - 1);
}

} // namespace

class CountBoxTest : public QObject
{
    Q_OBJECT

private:
    enum class Way
    {
        StartPicture, // a mouse click on the picture, with the focus still in the box
        StartCaption, // a mouse click on the caption label lying on the picture
        StartHandler, // Start_Click called directly
    };

    void runText(const QString& text, Way way);

    QTemporaryDir m_folder;
    FakeServices m_services{m_folder.path(), QString()};
    ScreenFlow m_flow{m_services};
    int m_accepted = 0;
    int m_refused = 0;

private Q_SLOTS:
    void initTestCase();
    void init();
    void oracleAgreesWithTheRulesOfTheBox();
    void everyTextThroughTheStartPicture();
    void everyTextThroughTheCaptionAndTheHandler();
    void endingWithTheFocusInTheCountBox();
    void cleanupTestCase();
};

void CountBoxTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
}

// Whatever a failed row left behind, every test starts on a welcome screen.
void CountBoxTest::init()
{
    if (m_flow.Quiz)
        m_flow.ReturnHome();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!m_flow.Welcome)
        m_flow.ShowWelcome();
}

// The oracle must itself be right before its verdicts mean anything.
void CountBoxTest::oracleAgreesWithTheRulesOfTheBox()
{
    const QList<std::pair<QString, std::optional<int>>> cases = {
        {u"30"_qs, 30},    {u"2"_qs, 2},     {u"140"_qs, 140},    {u" 25"_qs, 25},    {u"2.5"_qs, 2},  {u"3.5"_qs, 4},
        {u"4.5"_qs, 4},    {u"1e2"_qs, 100}, {u"2.E"_qs, {}},     {u"1e"_qs, {}},     {u".5"_qs, {}},  {u"+2."_qs, 2},
        {u"1"_qs, {}},     {u"0"_qs, {}},    {u"-5"_qs, {}},      {u"141"_qs, {}},    {QString(), {}}, {u"abc"_qs, {}},
        {u"1.5"_qs, {}},   {u"2e1"_qs, 20},  {u"9e1"_qs, 90},     {u"2 "_qs, 2},      {u" 2 "_qs, 2},  {u"2 2"_qs, {}},
        {u"&H2"_qs, {}},   {u"$2"_qs, {}},   {u"2,5"_qs, {}},     {u"."_qs, {}},      {u"-"_qs, {}},   {u"e2"_qs, {}},
        {u"5e-"_qs, {}},   {u"+5"_qs, 5},    {u"\u00e92"_qs, {}}, {u"139.5"_qs, 140}, {u"99."_qs, 99}, {u"1e+"_qs, {}},
        {u"140.4"_qs, {}},
    };
    for (const auto& [text, count] : cases)
        QVERIFY2(expectedCount(text) == count, qPrintable(u"\"%1\""_qs.arg(text)));

    QStringList texts;
    appendTexts(texts, QString(), LongestText);
    const qsizetype symbols = Alphabet.size();
    QCOMPARE(texts.size(), 1 + symbols + symbols * symbols + symbols * symbols * symbols);
}

void CountBoxTest::runText(const QString& text, Way way)
{
    // A quiz that started went home again, to a fresh welcome screen.
    QVERIFY(m_flow.Welcome);
    WelcomeScreen* welcome = m_flow.Welcome;
    if (!welcome->isActiveWindow())
        QVERIFY(QTest::qWaitForWindowActive(welcome));
    auto* box = welcome->findChild<QLineEdit*>(u"Text1"_qs);
    auto* start = welcome->findChild<QWidget*>(u"Start"_qs);
    auto* caption = welcome->findChild<QWidget*>(u"Label3"_qs);
    QVERIFY(box && start && caption);

    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    // One key per character, the non-ASCII letter included (keyClicks takes ASCII only).
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    QCOMPARE(box->text(), text);
    QVERIFY(box->hasFocus());

    const qsizetype messagesBefore = m_services.messages.size();
    switch (way) {
    case Way::StartPicture:
        QTest::mouseClick(start, Qt::LeftButton);
        break;
    case Way::StartCaption:
        QTest::mouseClick(caption, Qt::LeftButton);
        break;
    case Way::StartHandler:
        welcome->Start_Click();
        break;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const std::optional<int> expected = expectedCount(text);
    const QString row = u"text \"%1\""_qs.arg(text);
    if (!expected) {
        ++m_refused;
        QVERIFY2(!m_flow.Quiz, qPrintable(row + u": a quiz started"_qs));
        QCOMPARE(m_services.messages.size(), messagesBefore + 1);
        const FakeServices::Message& message = m_services.messages.last();
        QCOMPARE(message.title, u"Error"_qs);
        QCOMPARE(message.text, u"Please Type Value Between 2 To 140"_qs);
        QCOMPARE(message.parent.data(), welcome);
        QVERIFY2(m_flow.Welcome == welcome, qPrintable(row + u": the welcome screen went away"_qs));
        QCOMPARE(box->text(), text);
        QVERIFY2(box->hasFocus(), qPrintable(row + u": the focus left the count box"_qs));
        return;
    }

    ++m_accepted;
    QVERIFY2(m_flow.Quiz, qPrintable(row + u": no quiz started"_qs));
    QCOMPARE(m_services.messages.size(), messagesBefore);
    QCOMPARE(int(m_flow.Quiz->TotQues), *expected);
    QVERIFY(!m_flow.Welcome);
    auto* progress = m_flow.Quiz->findChild<QLabel*>(u"Label3"_qs);
    QVERIFY(progress);
    QCOMPARE(progress->text(), u"1/%1"_qs.arg(*expected));

    m_flow.ReturnHome();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_flow.Quiz);
}

void CountBoxTest::everyTextThroughTheStartPicture()
{
    QStringList texts;
    appendTexts(texts, QString(), LongestText);
    for (const QString& text : texts) {
        runText(text, Way::StartPicture);
        if (QTest::currentTestFailed()) {
            qWarning("... with the text \"%s\"", qUtf8Printable(text));
            return;
        }
    }
    qInfo("%d texts refused, %d accepted", m_refused, m_accepted);
    QVERIFY(m_refused > 0 && m_accepted > 0);
}

// Both other ways of starting give the same verdicts; one of the two ways per text keeps the run short.
void CountBoxTest::everyTextThroughTheCaptionAndTheHandler()
{
    QStringList texts;
    appendTexts(texts, QString(), LongestText);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        runText(texts[i], i % 2 == 0 ? Way::StartCaption : Way::StartHandler);
        if (QTest::currentTestFailed()) {
            qWarning("... with the text \"%s\"", qUtf8Printable(texts[i]));
            return;
        }
    }
}

// Exit ends the program with the welcome screen on view and a text in the box that Start would
// refuse: the screen is destroyed while it is active, and nothing of it may run on the way,
// least of all the count check. (The sanitizer build also checks every call made meanwhile.)
void CountBoxTest::endingWithTheFocusInTheCountBox()
{
    FakeServices services(m_folder.path(), QString());
    auto flow = std::make_unique<ScreenFlow>(services);
    flow->ShowWelcome();
    QPointer<WelcomeScreen> welcome = flow->Welcome;
    QVERIFY(QTest::qWaitForWindowActive(welcome));
    auto* box = welcome->findChild<QLineEdit*>(u"Text1"_qs);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    QTest::keyClicks(box, u"999"_qs);
    QVERIFY(box->hasFocus());
    flow.reset();
    QVERIFY(!welcome);
    QVERIFY2(services.messages.isEmpty(), qPrintable(services.messages.value(0).text));
}

void CountBoxTest::cleanupTestCase()
{
    QVERIFY2(m_services.openedPages.isEmpty(), "no page is opened by starting");
}

QTEST_MAIN(CountBoxTest)
#include "count_box_test.moc"
