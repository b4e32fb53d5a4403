// SPDX-License-Identifier: GPL-3.0-or-later
// Both screens on the offscreen platform, with a clock of the test's own for telling presses
// apart: which ways out of the count box check the count, which second presses answer nothing,
// Previous Results, the rules of one quiz, every text readable under a dark theme and pictures
// sharp at any scale. Whole roads run in real windows (tests/e2e), the lettering on a real
// display (lettering_test.cpp).
#include "core/questions.h"
#include "core/quiz_session.h"
#include "screen_rig.h"
#include "screens/answer_button.h"
#include "screens/picture_box.h"
#include "screens/press_echo.h"

#include <QAccessible>
#include <QPushButton>
#include <QScopeGuard>

namespace {

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

    std::optional<ScreenRig> m_rig;

    WelcomeScreen* welcome() const { return m_rig->flow.Welcome; }
    QuizScreen* quiz() const { return m_rig->flow.Quiz; }
    QString text(const QWidget* screen, const char* name) const
    {
        return find(screen, QString::fromLatin1(name))->property("text").toString();
    }
    // Progress, right and wrong counts as the top line shows them.
    QString counters() const
    {
        return text(quiz(), "Label3") + u' ' + text(quiz(), "Label6") + u' ' + text(quiz(), "Label7");
    }

private Q_SLOTS:
    void init()
    {
        PressEcho::UseClock([] { return s_now; });
        m_rig.emplace();
        QVERIFY(QTest::qWaitForWindowActive(welcome()));
    }
    void cleanup() { m_rig.reset(); }

    void countCheck_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("way");   // the control clicked, or a key pressed (Space on Start)
        QTest::addColumn<QString>("after"); // the quiz's progress, the control then focused, or "refused"
        const char* rows[][4] = {{"design count", "30", "Start", "1/30"},
                                 {"by its caption", " 25", "Label3", "1/25"},
                                 {"by Return, halves to even", "2.5", "Return", "1/2"},
                                 {"by Space", "3.5", "Space", "1/4"},
                                 {"three digits kept of four", "1400", "Start", "1/140"},
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
            QCOMPARE(m_rig->desk.messages, QStringList(u"Error|Please Type Value Between 2 To 140"_qs));
            QCOMPARE(std::tuple(bool(quiz()), focusName(), box->text()), std::tuple(false, u"Text1"_qs, typed));
            return;
        }
        QCOMPARE(m_rig->desk.messages, QStringList());
        QCOMPARE(quiz() ? text(quiz(), "Label3") : m_rig->desk.exits ? u"exit"_qs : focusName(), after);
        if (!quiz())
            return;
        // Pressed again at once, as by a double click: the quiz's third answer lies under Start, its
        // first one takes the focus. The second press answers nothing.
        QVERIFY(QTest::qWaitForWindowActive(quiz()));
        QWidget* under = quiz()->childAt(quiz()->mapFromGlobal(at));
        if (control)
            QVERIFY(qobject_cast<AnswerButton*>(under));
        control ? clickAt(under, at, 150, true) : key(pressed, 0, 150);
        QCOMPARE(counters(), after + u" 0 0"_qs);
    }

    // The count box offers 30; Previous Results; the buttons as a screen reader reads them.
    void welcomeScreen()
    {
        QCOMPARE(text(welcome(), "Text1"), u"30"_qs);
        // No page yet: nothing opens.
        QWidget* about = find(welcome(), u"About"_qs);
        click(about);
        QCOMPARE(m_rig->desk.openedPages, QStringList());
        // A page: opened once by each double click (on the button, on its caption), held key
        // (Space, Return) and reader's press.
        QFile page(m_rig->desk.store().programPagePath());
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        for (QWidget* twice : {about, find(welcome(), u"About2"_qs)}) {
            const QPoint centre = twice->mapToGlobal(twice->rect().center());
            clickAt(twice, centre);
            clickAt(twice, centre, 150, true);
        }
        about->setFocus();
        key(Qt::Key_Space, 30);
        key(Qt::Key_Return, 30);
        QAccessible::queryAccessibleInterface(about)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QCOMPARE(m_rig->desk.openedPages, QStringList(5, page.fileName()));
        // The captions are the buttons' names, not children of their own.
        for (const char* name : {"Start", "About", "Exit"})
            QCOMPARE(QAccessible::queryAccessibleInterface(find(welcome(), name))->childCount(), 0);
        QCOMPARE(find(welcome(), u"Label1"_qs)->isVisible(), false); // empty: nothing for a reader
    }

    // A quiz of three: the first question may be skipped by Next, the others wait for an answer,
    // and only the first answer to a question counts.
    void quizRules()
    {
        m_rig->desk.draws = {5, 9, 17};
        QVERIFY(m_rig->startQuiz(u"3"_qs));
        QVERIFY(QTest::qWaitForWindowActive(quiz()));
        auto* next = find<QPushButton>(quiz(), u"Nextbtn"_qs);
        QList<AnswerButton*> options = quiz()->findChildren<AnswerButton*>();
        const auto colours = [&] {
            QList<QColor> found;
            for (const AnswerButton* option : options)
                found << option->palette().color(QPalette::ButtonText);
            return found;
        };
        // Question 1, unanswered: black answers, the focus on the first, Next at hand.
        QCOMPARE(text(quiz(), "Question"), Questions::QuesBank[5]->question());
        QCOMPARE(counters(), u"1/3 0 0"_qs);
        QCOMPARE(colours(), QList<QColor>(4, Qt::black));
        QCOMPARE(std::tuple(next->isEnabled(), next->text(), focusName()),
                 std::tuple(true, u"Next"_qs, u"Option1_0"_qs));

        // Skipped: Next waits for an answer to question 2.
        click(next);
        QCOMPARE(std::tuple(counters(), next->isEnabled(), focusName()),
                 std::tuple(u"2/3 0 0"_qs, false, u"Option1_0"_qs));

        // A wrong answer by its number takes the focus, red, and the right one turns green; a
        // click on the right one then changes nothing.
        const int right = quiz()->session()->rightIndex(), wrong = (right + 1) % 4;
        key(Qt::Key(Qt::Key_1 + wrong));
        QCOMPARE(focusName(), u"Option1_%1"_qs.arg(wrong));
        click(options[right]);
        QList<QColor> painted(4, Qt::black);
        painted[wrong] = QColor(255, 0, 0);
        painted[right] = QColor(0, 128, 0);
        QCOMPARE(colours(), painted);
        QCOMPARE(std::tuple(counters(), next->isEnabled()), std::tuple(u"2/3 0 1"_qs, true));

        // Return moves on to the last question, whose Next is Result.
        key(Qt::Key_Return);
        QCOMPARE(std::tuple(counters(), next->isEnabled(), next->text()),
                 std::tuple(u"3/3 0 1"_qs, false, u"Result"_qs));
        // A number, then Return, each 50 ms after the last: the Return that brought the question
        // came before the number, so this Return is the player's own and presses Result.
        key(Qt::Key(Qt::Key_1 + quiz()->session()->rightIndex()), 0, 50);
        key(Qt::Key_Return, 0, 50);
        QCOMPARE(counters(), u"3/3 1 1"_qs);
        QCOMPARE(m_rig->desk.openedPages.size(), 1);
    }

    // Under a dark desktop palette every text keeps its contrast: the screens bring their own face.
    void readableUnderDarkTheme()
    {
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        QApplication::setPalette(QPalette(Qt::white, QColor(53, 53, 53), QColor(80, 80, 80), QColor(20, 20, 20),
                                          QColor(40, 40, 40), Qt::white, Qt::white, QColor(42, 42, 42),
                                          QColor(53, 53, 53)));
        m_rig.emplace();
        m_rig->desk.draws = {5};
        QVERIFY(m_rig->startQuiz(u"2"_qs));
        click(find(quiz(), u"Option1_%1"_qs.arg((quiz()->session()->rightIndex() + 1) % 4)));
        m_rig->flow.ShowWelcome(); // both screens on view for the grab
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
            QCOMPARE(std::tuple(name, picture.devicePixelRatio(), picture.deviceIndependentSize().toSize()),
                     std::tuple(name, scale, size));
        }
        QCOMPARE(find(welcome(), u"Start"_qs)->cursor().pixmap().devicePixelRatio(), scale);
        // The banner is drawn from its uncompressed copy, which must hold the JPEG's pixels.
        if (scale == 1.0) {
            const QImage banner = find<PictureBox>(welcome(), u"Picture1"_qs)->picture().toImage();
            QCOMPARE(banner.convertToFormat(QImage::Format_RGB32),
                     QImage(u":/assets/banner.jpg"_qs).convertToFormat(QImage::Format_RGB32));
        }
        QVERIFY(m_rig->startQuiz(u"2"_qs));
        QCOMPARE(find<PictureBox>(quiz(), u"Picture3"_qs)->picture().devicePixelRatio(), scale);
    }
};

QTEST_MAIN(ScreensTest)
#include "screens_test.moc"
