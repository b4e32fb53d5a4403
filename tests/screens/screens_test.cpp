// SPDX-License-Identifier: GPL-3.0-or-later
// Both screens played by object name over a recording desktop: the count check and the welcome
// screen's buttons, one quiz by mouse and by keys, the moves between the screens, and what a
// player would notice: every text readable under any theme, pictures sharp at any scale. The
// lettering itself is judged on a real display (lettering_test.cpp).
#include "core/questions.h"
#include "core/quiz_session.h"
#include "fake_services.h"
#include "screen_controls.h"
#include "screens/answer_button.h"
#include "screens/picture_box.h"
#include "screens/press_echo.h"
#include "screens/quiz_screen.h"
#include "screens/screen_flow.h"
#include "screens/screen_fonts.h"
#include "screens/welcome_screen.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

namespace {

// The program's clock for telling presses apart, which the presses below move on.
qint64 s_now = 0;

// A key to whatever holds the focus, pressed `after` ms after the last press, as a screen reader's
// bridge hands it on: a copy without a time stamp. A key held down repeats as X reports it: a
// release and a press at one instant, which the program must know for a repeat.
void key(Qt::Key key, int repeats = 0, int after = 1000)
{
    const auto send = [key](QEvent::Type type) {
        QKeyEvent event(type, key, Qt::NoModifier);
        if (QWidget* focused = QApplication::focusWidget())
            QApplication::sendEvent(focused, &event);
    };
    s_now += after;
    send(QEvent::KeyPress);
    for (int i = 0; i < repeats; ++i, s_now += 30) {
        send(QEvent::KeyRelease);
        send(QEvent::KeyPress);
    }
    s_now += 30;
    send(QEvent::KeyRelease);
}

// A left click `after` ms after the last press, at a point of the screen, as the toolkit delivers
// it to the control that lies there: the second click of a double click presses as a double click.
void clickAt(QWidget* widget, const QPoint& at, int after = 1000, bool second = false)
{
    s_now += after;
    for (const QEvent::Type type :
         {second ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, widget->mapFromGlobal(at), at, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(widget, &event);
    }
}

void clickAt(QWidget* widget, int after = 1000)
{
    clickAt(widget, widget->mapToGlobal(widget->rect().center()), after);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// WCAG contrast ratio of two colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class ScreensTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeServices> m_desk;
    std::unique_ptr<ScreenFlow> m_flow;

    WelcomeScreen* welcome() const { return m_flow->Welcome; }
    QuizScreen* quiz() const { return m_flow->Quiz; }
    AnswerButton* option(int i) const { return find<AnswerButton>(quiz(), QStringLiteral("Option1_%1").arg(i)); }
    QString text(const QWidget* screen, const char* name) const
    {
        return find(screen, QString::fromLatin1(name))->property("text").toString();
    }
    // Progress, right and wrong counts as the top line shows them.
    QString counters() const
    {
        return text(quiz(), "Label3") + u' ' + text(quiz(), "Label6") + u' ' + text(quiz(), "Label7");
    }
    QList<QColor> colours() const
    {
        return {option(0)->palette().color(QPalette::ButtonText), option(1)->palette().color(QPalette::ButtonText),
                option(2)->palette().color(QPalette::ButtonText), option(3)->palette().color(QPalette::ButtonText)};
    }
    bool startQuiz(const QString& count)
    {
        find<QLineEdit>(welcome(), u"Text1"_qs)->setText(count);
        click(find(welcome(), u"Start"_qs));
        return quiz() && QTest::qWaitForWindowActive(quiz());
    }

private Q_SLOTS:
    void init()
    {
        ScreenFonts::InstallTahoma();
        PressEcho::UseClock([] { return s_now; });
        QApplication::setQuitOnLastWindowClosed(false);
        m_desk = std::make_unique<FakeServices>();
        m_flow = std::make_unique<ScreenFlow>(*m_desk, m_desk->store(), m_desk->drawsFirst());
        m_flow->ShowWelcome();
        QVERIFY(QTest::qWaitForWindowActive(welcome()));
    }
    void cleanup()
    {
        m_flow.reset();
        m_desk.reset();
    }

    void countCheck_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("way");   // the control clicked, or a key pressed (Space on Start)
        QTest::addColumn<QString>("after"); // the quiz's progress, the control then focused, or "refused"
        const char* rows[][4] = {{"design count", "30", "Start", "1/30"},
                                 {"by its caption", " 25", "Label3", "1/25"},
                                 {"by Return, halves to even", "2.5", "Return", "1/2"},
                                 {"by Space", "3.5", "Space", "1/4"},
                                 {"letters", "abc", "Start", "refused"},
                                 {"empty, by caption", "", "Label3", "refused"},
                                 {"above, by Tab", "141", "Tab", "refused"},
                                 {"below, onto the banner", "1", "Picture1", "refused"},
                                 {"below, Return held", "1", "Return held", "refused"},
                                 {"accepted, by Tab", "140", "Tab", "Picture1"},
                                 {"Previous Results unchecked", "abc", "About", "About"},
                                 {"Exit unchecked", "abc", "Exit", "exit"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2])
                                  << QString::fromLatin1(row[3]);
    }
    void countCheck()
    {
        QFETCH(QString, typed);
        QFETCH(QString, way);
        QFETCH(QString, after);
        auto* box = find<QLineEdit>(welcome(), u"Text1"_qs);
        box->setFocus();
        box->setText(typed);
        const Qt::Key pressed = way == u"Tab" ? Qt::Key_Tab : way == u"Space" ? Qt::Key_Space : Qt::Key_Return;
        QWidget* control =
            QStringList{"Return", "Return held", "Tab", "Space"}.contains(way) ? nullptr : find(welcome(), way);
        const QPoint at = control ? control->mapToGlobal(control->rect().center()) : QPoint();
        if (way == u"Space")
            find(welcome(), u"Start"_qs)->setFocus();
        control ? clickAt(control, at) : key(pressed, way.endsWith(u"held") ? 30 : 0);
        if (after == u"refused") {
            QCOMPARE(m_desk->messages, QStringList(u"Error|Please Type Value Between 2 To 140"_qs));
            QVERIFY(!quiz() && box->hasFocus() && box->text() == typed);
        } else {
            QVERIFY(m_desk->messages.isEmpty());
            QCOMPARE(quiz() ? text(quiz(), "Label3") : m_desk->exits ? u"exit"_qs : focusName(), after);
        }
        // Pressed again at once, as by a double click: the quiz's third answer lies under Start, its
        // first one takes the focus. The second press answers nothing.
        if (quiz() && QTest::qWaitForWindowActive(quiz())) {
            QWidget* under = quiz()->childAt(quiz()->mapFromGlobal(at));
            QVERIFY(!control || qobject_cast<AnswerButton*>(under));
            control ? clickAt(under, at, 150, true) : key(pressed, 0, 150);
            QCOMPARE(counters(), after + u" 0 0"_qs);
        }
    }

    void welcomeButtons()
    {
        QCOMPARE(focusName(), u"Picture1"_qs);
        for (const char* next : {"Start", "About", "Exit", "Text1", "Picture1"}) {
            key(Qt::Key_Tab);
            QCOMPARE(focusName(), QString::fromLatin1(next));
        }
        QTest::keyClicks(find(welcome(), u"Text1"_qs), u"1234"_qs);
        QCOMPARE(text(welcome(), "Text1").size(), 3);

        // Previous Results: nothing before any page, then the page once for a double click.
        QWidget* about = find(welcome(), u"About"_qs);
        click(about);
        QVERIFY(m_desk->openedPages.isEmpty());
        QFile page(m_desk->store().programPagePath());
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write("page") == 4);
        page.close();
        for (QWidget* twice : {about, find(welcome(), u"About2"_qs)}) { // a double click
            const QPoint centre = twice->mapToGlobal(twice->rect().center());
            clickAt(twice, centre);
            clickAt(twice, centre, 150, true);
        }
        about->setFocus();
        key(Qt::Key_Space, 30);
        key(Qt::Key_Return, 30);
        QCOMPARE(m_desk->openedPages, QStringList(4, page.fileName()));

        for (const auto& [name, caption] :
             {std::pair("Start", "Start Quiz"), {"About", "Previous Results"}, {"Exit", "Exit"}}) {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(find(welcome(), name));
            QVERIFY(button->role() == QAccessible::Button && button->text(QAccessible::Name) == caption);
            QCOMPARE(button->childCount(), 0); // the caption on it would only repeat its name
        }
        QAccessible::queryAccessibleInterface(about)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QCOMPARE(m_desk->openedPages.size(), 5);
        QVERIFY(!find(welcome(), u"Label1"_qs)->isVisible()); // empty: nothing for a reader
    }

    // One quiz of four, its keys arriving as under a screen reader. Return from the count box
    // starts it, and Return again, even held, leaves the first question; only Next skips it, here
    // by Space struck twice. Then a wrong answer by key, a right one by click; a click on Next with
    // an answer clicked right after, elsewhere; Return to move on; a number with Return right after,
    // which presses Result; Result again by Enter, held; Home by Return with No, then by click with
    // Yes.
    void quizByMouseAndKeys()
    {
        m_desk->draws = {5, 9, 17, 23};
        find<QLineEdit>(welcome(), u"Text1"_qs)->setText(u"4"_qs);
        find(welcome(), u"Text1"_qs)->setFocus();
        key(Qt::Key_Return);
        QVERIFY(quiz());
        QVERIFY(QTest::qWaitForWindowActive(quiz()));
        QTRY_VERIFY(!welcome());
        key(Qt::Key_Return, 30, 100);
        auto* next = find<QPushButton>(quiz(), u"Nextbtn"_qs);
        QCOMPARE(counters(), u"1/4 0 0"_qs);
        QCOMPARE(colours(), QList<QColor>(4, Qt::black));
        QCOMPARE(std::tuple(next->isEnabled(), next->text(), focusName()),
                 std::tuple(true, u"Next"_qs, u"Option1_0"_qs));
        QCOMPARE(text(quiz(), "Question"), Questions::QuesBank[5]->question());

        // Space struck twice on Next: the second lands on the first answer of the next question.
        next->setFocus();
        key(Qt::Key_Space);
        key(Qt::Key_Space, 0, 120);
        QCOMPARE(counters(), u"2/4 0 0"_qs);
        QCOMPARE(std::tuple(next->isEnabled(), focusName()), std::tuple(false, u"Option1_0"_qs));
        key(Qt::Key_Return);
        QCOMPARE(counters(), u"2/4 0 0"_qs);
        const int right = quiz()->session()->rightIndex(), wrong = (right + 1) % 4;
        key(Qt::Key(Qt::Key_1 + wrong));
        QCOMPARE(focusName(), QStringLiteral("Option1_%1").arg(wrong));
        QList<QColor> painted(4, Qt::black);
        painted[wrong] = QColor(255, 0, 0);
        painted[right] = QColor(0, 128, 0);
        QCOMPARE(colours(), painted);
        click(option(right));
        QCOMPARE(colours(), painted);
        QCOMPARE(counters(), u"2/4 0 1"_qs);

        // A click on Next, and 50 ms later one on an answer far from it: no echo, it counts.
        clickAt(next);
        clickAt(option(quiz()->session()->rightIndex()), 50);
        QCOMPARE(counters(), u"3/4 1 1"_qs);
        key(Qt::Key_Return); // moves on; the new question waits for its answer
        QCOMPARE(counters(), u"4/4 1 1"_qs);
        QCOMPARE(std::tuple(next->isEnabled(), next->text()), std::tuple(false, u"Result"_qs));
        // A number, then Return, each 50 ms after the last: the Return that brought the question
        // came before the number, so this Return is the player's own.
        key(Qt::Key(Qt::Key_1 + quiz()->session()->rightIndex()), 0, 50);
        key(Qt::Key_Return, 0, 50);
        QCOMPARE(counters(), u"4/4 2 1"_qs);
        QCOMPARE(m_desk->openedPages.size(), 1);
        next->setFocus();
        key(Qt::Key_Enter, 30);
        QCOMPARE(m_desk->openedPages.size(), 2); // the page itself: the report and end-to-end tests

        find(quiz(), u"home"_qs)->setFocus();
        key(Qt::Key_Return);
        QCOMPARE(m_desk->questions, QStringList(u"Confirm|Do you really want to quit current session"_qs));
        QCOMPARE(std::tuple(quiz()->isVisible(), counters()), std::tuple(true, u"4/4 2 1"_qs));
        QVERIFY(!welcome());
        m_desk->answers.enqueue(true);
        click(find(quiz(), u"home"_qs));
        QVERIFY(QTest::qWaitForWindowActive(welcome()));
        QTRY_VERIFY(!quiz());
        QVERIFY(startQuiz(text(welcome(), "Text1")));
        QCOMPARE(counters(), u"1/30 0 0"_qs);
    }

    // Under a dark desktop palette every text keeps its contrast: the screens bring their own face.
    void readableUnderDarkTheme()
    {
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        QApplication::setPalette(QPalette(Qt::white, QColor(53, 53, 53), QColor(80, 80, 80), QColor(20, 20, 20),
                                          QColor(40, 40, 40), Qt::white, Qt::white, QColor(42, 42, 42),
                                          QColor(53, 53, 53)));
        init();
        m_desk->draws = {5};
        QVERIFY(startQuiz(u"2"_qs));
        click(option((quiz()->session()->rightIndex() + 1) % 4));
        m_flow->ShowWelcome(); // both screens on view for the grab
        for (QWidget* screen : {static_cast<QWidget*>(welcome()), static_cast<QWidget*>(quiz())}) {
            for (QWidget* w : screen->findChildren<QWidget*>()) {
                const QString shown = w->property("text").toString();
                if (shown.isEmpty() || !w->isVisible())
                    continue;
                // What lies behind the text: the control drawn without it, averaged.
                w->setProperty("text", QString());
                const QImage behind = screen->grab(QRect(w->mapTo(screen, QPoint()), w->size())).toImage();
                w->setProperty("text", shown);
                const QColor average =
                    behind.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
                const QPalette::ColorGroup group = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
                const double ratio = contrast(w->palette().color(group, w->foregroundRole()), average);
                QVERIFY2(ratio >= 3.0, qPrintable(w->objectName() + u' ' + QString::number(ratio)));
            }
        }
    }

    // Pictures are drawn from the double-size assets on screens that scale.
    void picturesAreSharp()
    {
        const qreal scale = welcome()->devicePixelRatioF() > 1.0 ? 2.0 : 1.0;
        for (const auto& [name, size] : {std::pair(u"Picture1"_qs, QSize(479, 183)), {u"Start"_qs, QSize(101, 21)}}) {
            const QPixmap picture = find<PictureBox>(welcome(), name)->picture();
            QVERIFY2(picture.devicePixelRatio() == scale && picture.deviceIndependentSize().toSize() == size,
                     qPrintable(name));
        }
        QVERIFY(find(welcome(), u"Start"_qs)->cursor().pixmap().devicePixelRatio() == scale);
        // The banner is drawn from its uncompressed copy, which must hold the JPEG's pixels.
        if (scale == 1.0) {
            const QImage banner = find<PictureBox>(welcome(), u"Picture1"_qs)->picture().toImage();
            QCOMPARE(banner.convertToFormat(QImage::Format_RGB32),
                     QImage(u":/assets/banner.jpg"_qs).convertToFormat(QImage::Format_RGB32));
        }
        QVERIFY(startQuiz(u"2"_qs));
        QCOMPARE(find<PictureBox>(quiz(), u"Picture3"_qs)->picture().devicePixelRatio(), scale);
    }
};

QTEST_MAIN(ScreensTest)
#include "screens_test.moc"
