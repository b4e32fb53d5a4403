// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of up to three characters over a hostile alphabet, typed into the count box and
// followed by a click on Start: refused with the one message, or a quiz of the rounded count.
// The other ways of starting are covered by the welcome screen's own tests.
#include "fake_services.h"
#include "quiz/quiz_screen.h"
#include "shell/screen_flow.h"
#include "shell/welcome_screen.h"

#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <memory>
#include <optional>

namespace {

const QString Alphabet = u"0123456789 +-.,eE$&Ha\u00e9"_qs;

// The count a text asks for, by a grammar of its own: blanks around, an optional sign, digits with
// an optional point, an optional exponent. The value is kept as an exact ratio, so the range test
// and the rounding of halves to even need no floating point. Empty when refused. (The count
// check's table in tests/shell pins the verdicts on chosen texts.)
std::optional<int> expectedCount(const QString& text)
{
    qsizetype i = 0, end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    while (end > i && text[end - 1] == u' ')
        --end;
    const auto isDigit = [&](qsizetype at) { return at < end && text[at] >= u'0' && text[at] <= u'9'; };
    const auto sign = [&] { return i < end && (text[i] == u'+' || text[i] == u'-') && text[i++] == u'-'; };

    const bool negative = sign();
    std::int64_t mantissa = 0;
    int digits = 0, fractionDigits = 0;
    for (bool fraction = false;; ++i) {
        if (isDigit(i)) {
            mantissa = mantissa * 10 + (text[i].unicode() - u'0');
            ++digits;
            fractionDigits += fraction;
        } else if (!fraction && i < end && text[i] == u'.') {
            fraction = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    int exponent = 0;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        const bool negativeExponent = sign();
        if (!isDigit(i))
            return std::nullopt;
        for (; isDigit(i); ++i)
            exponent = exponent * 10 + (text[i].unicode() - u'0');
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != end)
        return std::nullopt;

    std::int64_t numerator = negative ? -mantissa : mantissa, denominator = 1;
    for (int k = exponent - fractionDigits; k > 0; --k)
        numerator *= 10;
    for (int k = exponent - fractionDigits; k < 0; ++k)
        denominator *= 10;
    if (numerator < 2 * denominator || numerator > 140 * denominator)
        return std::nullopt;
    std::int64_t count = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    return int(count + (twiceRest > denominator || (twiceRest == denominator && count % 2 != 0)));
}

QStringList allTexts(const QString& prefix = {}, int room = 3)
{
    QStringList texts{prefix};
    for (const QChar c : room > 0 ? Alphabet : QString())
        texts += allTexts(prefix + c, room - 1);
    return texts;
}

} // namespace

class CountBoxTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    FakeServices m_services{m_folder.path(), QString()};
    ScreenFlow m_flow{m_services};

    void runText(const QString& text);

private Q_SLOTS:
    void everyTextThroughTheStartPicture();
    void endingWithTheFocusInTheCountBox();
};

void CountBoxTest::runText(const QString& text)
{
    WelcomeScreen* welcome = m_flow.Welcome;
    QVERIFY(welcome);
    if (!welcome->isActiveWindow())
        QVERIFY(QTest::qWaitForWindowActive(welcome));
    auto* box = welcome->findChild<QLineEdit*>(u"Text1"_qs);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    // One key per character, the non-ASCII letter included (keyClicks takes ASCII only).
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    QCOMPARE(box->text(), text);

    const qsizetype messagesBefore = m_services.messages.size();
    QTest::mouseClick(welcome->findChild<QWidget*>(u"Start"_qs), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    if (const std::optional<int> expected = expectedCount(text)) {
        QVERIFY2(m_flow.Quiz && !m_flow.Welcome, "no quiz started");
        QCOMPARE(m_services.messages.size(), messagesBefore);
        QCOMPARE(int(m_flow.Quiz->TotQues), *expected);
        m_flow.ReturnHome();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return;
    }
    QVERIFY2(!m_flow.Quiz && m_flow.Welcome == welcome, "a quiz started");
    QCOMPARE(m_services.messages.size(), messagesBefore + 1);
    const FakeServices::Message& message = m_services.messages.last();
    QCOMPARE(message.title + u": "_qs + message.text, u"Error: Please Type Value Between 2 To 140"_qs);
    QCOMPARE(box->text(), text);
    QVERIFY(box->hasFocus());
}

void CountBoxTest::everyTextThroughTheStartPicture()
{
    m_flow.ShowWelcome();
    const QStringList texts = allTexts();
    QCOMPARE(texts.size(), 1 + 22 + 22 * 22 + 22 * 22 * 22);
    int accepted = 0;
    for (const QString& text : texts) {
        runText(text);
        if (QTest::currentTestFailed())
            return qWarning("... with the text \"%s\"", qUtf8Printable(text));
        accepted += expectedCount(text).has_value();
    }
    qInfo("%d of %lld texts accepted", accepted, static_cast<long long>(texts.size()));
    QVERIFY(m_services.openedPages.isEmpty());
}

// Exit with a text Start would refuse: the screen is destroyed while active, and the count check
// must not run on the way.
void CountBoxTest::endingWithTheFocusInTheCountBox()
{
    FakeServices services(m_folder.path(), QString());
    auto flow = std::make_unique<ScreenFlow>(services);
    flow->ShowWelcome();
    QPointer<WelcomeScreen> welcome = flow->Welcome;
    QVERIFY(QTest::qWaitForWindowActive(welcome));
    auto* box = welcome->findChild<QLineEdit*>(u"Text1"_qs);
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(box, u"999"_qs);
    flow.reset();
    QVERIFY(!welcome);
    QVERIFY2(services.messages.isEmpty(), qPrintable(services.messages.value(0).text));
}

QTEST_MAIN(CountBoxTest)
#include "count_box_test.moc"
