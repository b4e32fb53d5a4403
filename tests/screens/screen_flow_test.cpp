// SPDX-License-Identifier: GPL-3.0-or-later
#include "modal_box_answerer.h"
#include "quiz/quiz_session.h"
#include "screen_driver.h"

#include <memory>

using namespace ScreenDriver;

namespace {

class WindowLog : public QObject
{
public:
    WindowLog() { qApp->installEventFilter(this); }
    ~WindowLog() override { qApp->removeEventFilter(this); }

    QStringList events;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool shown = event->type() == QEvent::Show;
        if ((shown || event->type() == QEvent::Hide) && widget && widget->isWindow() &&
            (widget->objectName() == u"Welcome" || widget->objectName() == u"Quiz"))
            events << widget->objectName() + (shown ? u" shown"_qs : u" hidden"_qs);
        return false;
    }
};

// All that the player can see or that the page would be made of.
QStringList snapshot(const QuizScreen* quiz)
{
    QStringList seen = counters(quiz) << caption(quiz, u"Question"_qs) << caption(quiz, u"Nextbtn"_qs);
    for (int i = 0; i < 4; ++i)
        seen << option(quiz, i)->text() << option(quiz, i)->textColour().name()
             << (option(quiz, i)->isChecked() ? u"x"_qs : u"-"_qs);
    seen << (control(quiz, u"Nextbtn"_qs)->isEnabled() ? u"enabled"_qs : u"disabled"_qs) << quiz->report().headText()
         << quiz->report().tableText() << (quiz->isVisible() ? u"visible"_qs : u"hidden"_qs);
    return seen;
}

} // namespace

class ScreenFlowTest : public QObject
{
    Q_OBJECT

    QuizScreen* startFromWelcome(const QString& count)
    {
        typeCount(m_rig->flow.Welcome, count);
        click(control(m_rig->flow.Welcome, u"Start"_qs));
        QuizScreen* quiz = m_rig->flow.Quiz;
        return quiz && QTest::qWaitForWindowActive(quiz) ? quiz : nullptr;
    }

    std::unique_ptr<ScreenRig> m_rig;

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<ScreenRig>();
        m_rig->flow.ShowWelcome();
        QVERIFY(QTest::qWaitForWindowActive(m_rig->flow.Welcome));
    }
    void cleanup() { m_rig.reset(); }

    // Each move shows the new screen before the old one goes; Home asks first, and only Yes brings
    // a fresh welcome screen, from which the next quiz starts from zero.
    void startHomeAndStartAgain()
    {
        WindowLog log;
        const QPointer<WelcomeScreen> welcome = m_rig->flow.Welcome;
        const QPointer<QuizScreen> first = startFromWelcome(u"5"_qs);
        QVERIFY(first);
        QCOMPARE(log.events, QStringList({u"Quiz shown"_qs, u"Welcome hidden"_qs}));
        // The quiz takes its count as it appears, so the count was in place before.
        QCOMPARE(caption(first, u"Label3"_qs), u"1/5"_qs);
        QTRY_VERIFY(!welcome && !m_rig->flow.Welcome);
        for (int question = 1; question <= 4; ++question) {
            click(option(first, pickAnswer(first, question != 2)));
            if (question < 4)
                click(control(first, u"Nextbtn"_qs));
        }
        QCOMPARE(counters(first), QStringList({u"4/5"_qs, u"3"_qs, u"1"_qs}));

        const QStringList before = snapshot(first);
        click(control(first, u"home"_qs)); // answered No
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first && m_rig->flow.Quiz == first && !m_rig->flow.Welcome);
        QCOMPARE(snapshot(first), before);

        m_rig->services.answers.enqueue(true);
        click(control(first, u"home"_qs));
        const QList<FakeServices::Message>& asked = m_rig->services.questions;
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].title, u"Confirm"_qs);
        QCOMPARE(asked[1].text, u"Do you really want to quit current session"_qs);
        QCOMPARE(asked[1].parent.data(), first.data());
        QCOMPARE(log.events.mid(2), QStringList({u"Welcome shown"_qs, u"Quiz hidden"_qs}));
        QVERIFY(m_rig->flow.Welcome && QTest::qWaitForWindowActive(m_rig->flow.Welcome));
        QCOMPARE(countBox(m_rig->flow.Welcome)->text(), u"30"_qs);
        QCOMPARE(focusName(), u"Picture1"_qs);
        QTRY_VERIFY(!first && !m_rig->flow.Quiz);
        QVERIFY(m_rig->writtenFiles().isEmpty() && m_rig->services.openedPages.isEmpty());

        QuizScreen* second = startFromWelcome(u"8"_qs);
        QVERIFY(second);
        QCOMPARE(counters(second), QStringList({u"1/8"_qs, u"0"_qs, u"0"_qs}));
        QVERIFY(control(second, u"Nextbtn"_qs)->isEnabled() && caption(second, u"Nextbtn"_qs) == u"Next");
        const ResultsReport fresh;
        QCOMPARE(second->report().headText() + second->report().tableText(), fresh.headText() + fresh.tableText());
        QVERIFY(!second->report().TotalsAdded());
        QCOMPARE(second->session()->Taken(), 1);
        QCOMPARE(m_rig->services.randomSourcesMade, 2);
    }

    void aWholeQuizByKeyboardAlone()
    {
        const QPointer<WelcomeScreen> welcome = m_rig->flow.Welcome;
        for (int i = 0; i < 4; ++i)
            QVERIFY(pressKey(Qt::Key_Tab));
        QCOMPARE(focusName(), u"Text1"_qs);
        QVERIFY(pressKey(Qt::Key_A, Qt::ControlModifier));
        QTest::keyClicks(QApplication::focusWidget(), u"4"_qs);
        QVERIFY(pressKey(Qt::Key_Return));

        const QPointer<QuizScreen> quiz = m_rig->flow.Quiz;
        QVERIFY(quiz && QTest::qWaitForWindowActive(quiz));
        QCOMPARE(focusName(), u"Option1_0"_qs);
        for (int question = 1; question <= 4; ++question) {
            QCOMPARE(caption(quiz, u"Label3"_qs), u"%1/4"_qs.arg(question));
            QVERIFY(pressKey(Qt::Key(Qt::Key_1 + pickAnswer(quiz, question != 3))));
            QVERIFY(pressKey(Qt::Key_Return));
        }
        QCOMPARE(counters(quiz), QStringList({u"4/4"_qs, u"3"_qs, u"1"_qs}));
        QCOMPARE(caption(quiz, u"Nextbtn"_qs), u"Result"_qs);
        QCOMPARE(m_rig->services.openedPages, QStringList{m_rig->programDir.filePath(u"Results.htm"_qs)});

        for (int tabs = 0; tabs < 8 && focusName() != u"home"; ++tabs)
            QVERIFY(pressKey(Qt::Key_Tab));
        QCOMPARE(focusName(), u"home"_qs);
        const QStringList before = snapshot(quiz);
        const QStringList files = m_rig->writtenFiles();
        QVERIFY(pressKey(Qt::Key_Space)); // answered No: the finished quiz stays as it was
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(quiz && m_rig->flow.Quiz == quiz && !m_rig->flow.Welcome);
        QCOMPARE(snapshot(quiz), before);
        QCOMPARE(m_rig->writtenFiles(), files);
        QCOMPARE(m_rig->services.openedPages.size(), 1);
        m_rig->services.answers.enqueue(true);
        QVERIFY(pressKey(Qt::Key_Space));
        QVERIFY(m_rig->flow.Welcome && QTest::qWaitForWindowActive(m_rig->flow.Welcome));
        QTRY_VERIFY(!quiz && !welcome);
    }

    // The real box of the desktop: one per attempt, and the focus stays in the count box when
    // the window system hands the screen its activation back.
    void realErrorBox_data()
    {
        QTest::addColumn<QString>("way");
        for (const char* way : {"Tab", "Return", "Picture1", "Start", "Label3"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }

    void realErrorBox()
    {
        QFETCH(QString, way);
        m_rig.reset();
        DesktopServices desktop;
        ScreenFlow flow(desktop);
        flow.ShowWelcome();
        WelcomeScreen* welcome = flow.Welcome;
        QVERIFY(QTest::qWaitForWindowActive(welcome));
        typeCount(welcome, u"abc"_qs);

        ModalBoxAnswerer answerer;
        answerer.arm();
        if (way == u"Tab" || way == u"Return")
            pressKey(way == u"Tab" ? Qt::Key_Tab : Qt::Key_Return);
        else
            click(control(welcome, way));
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(welcome->focusWidget(), countBox(welcome));
        welcome->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(welcome));

        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].title, u"Error"_qs);
        QCOMPARE(answerer.boxes[0].text, u"Please Type Value Between 2 To 140"_qs);
        QCOMPARE(answerer.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(answerer.boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(countBox(welcome)->text(), u"abc"_qs);
        QCOMPARE(focusName(), u"Text1"_qs);
        QVERIFY(!flow.Quiz);
    }

    void realConfirmBox()
    {
        m_rig.reset();
        DesktopServices desktop;
        ScreenFlow flow(desktop);
        flow.StartQuiz(3);
        const QPointer<QuizScreen> quiz = flow.Quiz;
        QVERIFY(quiz && QTest::qWaitForWindowActive(quiz));
        click(option(quiz, 0));

        ModalBoxAnswerer answerer;
        answerer.arm();
        click(control(quiz, u"home"_qs));
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].title, u"Confirm"_qs);
        QCOMPARE(answerer.boxes[0].text, u"Do you really want to quit current session"_qs);
        QCOMPARE(answerer.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
        QCOMPARE(answerer.boxes[0].defaultButton, QMessageBox::No);
        QCOMPARE(answerer.boxes[0].icon, QMessageBox::NoIcon);
        // The default answer keeps the quiz as it was.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(quiz && quiz->isVisible() && !flow.Welcome);
        QCOMPARE(caption(quiz, u"Label3"_qs), u"1/3"_qs);

        answerer.arm(QMessageBox::Yes);
        click(control(quiz, u"home"_qs));
        QCOMPARE(answerer.boxes.size(), 2);
        QVERIFY(flow.Welcome);
        QTRY_VERIFY(!quiz);
        QCOMPARE(countBox(flow.Welcome)->text(), u"30"_qs);
    }
};

QTEST_MAIN(ScreenFlowTest)
#include "screen_flow_test.moc"
