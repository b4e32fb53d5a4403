// SPDX-License-Identifier: GPL-3.0-or-later
#include "quiz/quiz_session.h"
#include "screen_driver.h"
#include "screen_rig.h"
#include "shell/screen_fonts.h"

#include <QTest>
#include <memory>

using namespace ScreenDriver;

namespace {

// Notes when the two screens appear and go, and what the quiz screen holds as it appears.
class WindowLog : public QObject
{
public:
    WindowLog() { qApp->installEventFilter(this); }
    ~WindowLog() override { qApp->removeEventFilter(this); }

    QStringList events;
    int totQuesWhenShown = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow())
            return false;
        const QString name = widget->objectName();
        if (name != u"Welcome" && name != u"Quiz")
            return false;
        events << name + (event->type() == QEvent::Show ? u" shown"_qs : u" hidden"_qs);
        if (auto* quiz = qobject_cast<QuizScreen*>(widget); quiz && event->type() == QEvent::Show)
            totQuesWhenShown = quiz->TotQues;
        return false;
    }
};

enum class QuizState
{
    FirstQuestionOpen,
    Answered,
    WaitingForAnswer,
    Finished,
};

} // namespace

Q_DECLARE_METATYPE(QuizState)

class ScreenFlowTest : public QObject
{
    Q_OBJECT

private:
    QuizScreen* startFromWelcome(const QString& count);
    static QStringList snapshot(const QuizScreen* quiz);

    std::unique_ptr<ScreenRig> m_rig;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startShowsAFreshQuizBeforeTheWelcomeGoes();
    void homeConfirmedBringsAFreshWelcome();
    void homeRefusedKeepsTheQuiz_data();
    void homeRefusedKeepsTheQuiz();
    void everyQuizStartsAfresh();
    void aWholeQuizByKeyboardAlone();
};

void ScreenFlowTest::initTestCase()
{
    ScreenFonts::InstallTahoma();
    QApplication::setQuitOnLastWindowClosed(false);
}

void ScreenFlowTest::init()
{
    m_rig = std::make_unique<ScreenRig>();
    m_rig->flow.ShowWelcome();
    QVERIFY(m_rig->flow.Welcome);
    QVERIFY(QTest::qWaitForWindowActive(m_rig->flow.Welcome));
}

void ScreenFlowTest::cleanup()
{
    m_rig.reset();
}

QuizScreen* ScreenFlowTest::startFromWelcome(const QString& count)
{
    WelcomeScreen* welcome = m_rig->flow.Welcome;
    if (!welcome)
        return nullptr;
    typeCount(welcome, count);
    click(control(welcome, u"Start"_qs));
    QuizScreen* quiz = m_rig->flow.Quiz;
    return quiz && QTest::qWaitForWindowActive(quiz) ? quiz : nullptr;
}

// All that the player can see or that the page would be made of.
QStringList ScreenFlowTest::snapshot(const QuizScreen* quiz)
{
    QStringList seen;
    for (const char* name : {"Label3", "Label6", "Label7", "Question"})
        seen << caption(quiz, QString::fromLatin1(name));
    for (int i = 0; i < 4; ++i) {
        const AnswerButton* answer = option(quiz, i);
        seen << answer->text() << answer->textColour().name() << (answer->isChecked() ? u"checked"_qs : u"-"_qs);
    }
    const QPushButton* next = button(quiz, u"Nextbtn"_qs);
    seen << next->text() << (next->isEnabled() ? u"enabled"_qs : u"disabled"_qs);
    seen << quiz->report().headText() << quiz->report().tableText();
    seen << (quiz->isVisible() ? u"visible"_qs : u"hidden"_qs);
    return seen;
}

void ScreenFlowTest::startShowsAFreshQuizBeforeTheWelcomeGoes()
{
    const QPointer<WelcomeScreen> welcome = m_rig->flow.Welcome;
    WindowLog log;
    QuizScreen* quiz = startFromWelcome(u"17"_qs);
    QVERIFY(quiz);
    QCOMPARE(log.events, QStringList({u"Quiz shown"_qs, u"Welcome hidden"_qs}));
    // The count was in place before the quiz screen appeared.
    QCOMPARE(log.totQuesWhenShown, 17);
    QCOMPARE(caption(quiz, u"Label3"_qs), u"1/17"_qs);
    QTRY_VERIFY(!welcome);
    QVERIFY(!m_rig->flow.Welcome);
    QCOMPARE(m_rig->flow.Quiz.data(), quiz);
    QCOMPARE(m_rig->services.randomSourcesMade, 1);
}

void ScreenFlowTest::homeConfirmedBringsAFreshWelcome()
{
    const QPointer<QuizScreen> quiz = startFromWelcome(u"7"_qs);
    QVERIFY(quiz);
    clickAnswer(quiz, pickAnswer(quiz, false));

    m_rig->services.answers.enqueue(true);
    WindowLog log;
    click(button(quiz, u"home"_qs));

    const FakeServices& services = m_rig->services;
    QCOMPARE(services.questions.size(), 1);
    QCOMPARE(services.questions[0].title, u"Confirm"_qs);
    QCOMPARE(services.questions[0].text, u"Do you really want to quit current session"_qs);
    QCOMPARE(services.questions[0].parent.data(), quiz.data());
    QCOMPARE(log.events, QStringList({u"Welcome shown"_qs, u"Quiz hidden"_qs}));

    WelcomeScreen* welcome = m_rig->flow.Welcome;
    QVERIFY(welcome);
    QVERIFY(QTest::qWaitForWindowActive(welcome));
    QCOMPARE(countBox(welcome)->text(), u"30"_qs);
    QCOMPARE(QApplication::focusWidget(), control(welcome, u"Picture1"_qs));
    QTRY_VERIFY(!quiz);
    QVERIFY(!m_rig->flow.Quiz);
    // Leaving writes nothing.
    QVERIFY(m_rig->writtenFiles().isEmpty());
    QVERIFY(services.openedPages.isEmpty());
}

void ScreenFlowTest::homeRefusedKeepsTheQuiz_data()
{
    QTest::addColumn<QuizState>("state");
    QTest::newRow("first question open") << QuizState::FirstQuestionOpen;
    QTest::newRow("answered") << QuizState::Answered;
    QTest::newRow("waiting for an answer") << QuizState::WaitingForAnswer;
    QTest::newRow("finished") << QuizState::Finished;
}

void ScreenFlowTest::homeRefusedKeepsTheQuiz()
{
    QFETCH(QuizState, state);
    const QPointer<QuizScreen> quiz = startFromWelcome(u"2"_qs);
    QVERIFY(quiz);
    if (state != QuizState::FirstQuestionOpen)
        clickAnswer(quiz, pickAnswer(quiz, true));
    if (state == QuizState::WaitingForAnswer || state == QuizState::Finished)
        click(button(quiz, u"Nextbtn"_qs));
    if (state == QuizState::Finished) {
        clickAnswer(quiz, pickAnswer(quiz, false));
        click(button(quiz, u"Nextbtn"_qs));
        QCOMPARE(m_rig->services.openedPages.size(), 1);
    }
    const QStringList before = snapshot(quiz);
    const QStringList files = m_rig->writtenFiles();

    m_rig->services.answers.enqueue(false);
    click(button(quiz, u"home"_qs));
    QCOMPARE(m_rig->services.questions.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(quiz);
    QCOMPARE(m_rig->flow.Quiz.data(), quiz.data());
    QVERIFY(!m_rig->flow.Welcome);
    QCOMPARE(snapshot(quiz), before);
    QCOMPARE(m_rig->writtenFiles(), files);
    QCOMPARE(m_rig->services.openedPages.size(), state == QuizState::Finished ? 1 : 0);
}

void ScreenFlowTest::everyQuizStartsAfresh()
{
    const QPointer<QuizScreen> first = startFromWelcome(u"5"_qs);
    QVERIFY(first);
    const ResultsReport fresh;
    for (int question = 1; question <= 3; ++question) {
        clickAnswer(first, pickAnswer(first, question != 2));
        click(button(first, u"Nextbtn"_qs));
    }
    QCOMPARE(caption(first, u"Label6"_qs), u"2"_qs);
    QCOMPARE(caption(first, u"Label7"_qs), u"1"_qs);

    m_rig->services.answers.enqueue(true);
    click(button(first, u"home"_qs));
    QTRY_VERIFY(!first);
    QuizScreen* second = startFromWelcome(u"8"_qs);
    QVERIFY(second);
    QCOMPARE(second->TotQues, 8);
    QCOMPARE(caption(second, u"Label3"_qs), u"1/8"_qs);
    QCOMPARE(caption(second, u"Label6"_qs), u"0"_qs);
    QCOMPARE(caption(second, u"Label7"_qs), u"0"_qs);
    QCOMPARE(button(second, u"Nextbtn"_qs)->text(), u"Next"_qs);
    QVERIFY(button(second, u"Nextbtn"_qs)->isEnabled());
    QCOMPARE(second->report().headText(), fresh.headText());
    QCOMPARE(second->report().tableText(), fresh.tableText());
    QVERIFY(!second->report().TotalsAdded());
    QCOMPARE(second->session()->draw().Taken, 1);
    QCOMPARE(m_rig->services.randomSourcesMade, 2);
}

// Typing the count, starting, answering, moving on, the results and Home, all from the keys.
void ScreenFlowTest::aWholeQuizByKeyboardAlone()
{
    const QPointer<WelcomeScreen> welcome = m_rig->flow.Welcome;
    for (int i = 0; i < 4; ++i)
        QVERIFY(pressKey(Qt::Key_Tab));
    QCOMPARE(QApplication::focusWidget(), countBox(welcome));
    QVERIFY(pressKey(Qt::Key_A, Qt::ControlModifier));
    QVERIFY(typeText(u"4"_qs));
    QVERIFY(pressKey(Qt::Key_Return));

    const QPointer<QuizScreen> quiz = m_rig->flow.Quiz;
    QVERIFY(quiz);
    QVERIFY(QTest::qWaitForWindowActive(quiz));
    QCOMPARE(QApplication::focusWidget(), option(quiz, 0));
    for (int question = 1; question <= 4; ++question) {
        QCOMPARE(caption(quiz, u"Label3"_qs), u"%1/4"_qs.arg(question));
        const int chosen = pickAnswer(quiz, question != 3);
        QVERIFY(pressKey(Qt::Key(Qt::Key_1 + chosen)));
        QVERIFY(pressKey(Qt::Key_Return));
    }
    QCOMPARE(caption(quiz, u"Label6"_qs), u"3"_qs);
    QCOMPARE(caption(quiz, u"Label7"_qs), u"1"_qs);
    QCOMPARE(button(quiz, u"Nextbtn"_qs)->text(), u"Result"_qs);
    QCOMPARE(m_rig->services.openedPages, QStringList{m_rig->programDir.filePath(u"Results.htm"_qs)});

    // Out of the answers to Home, and Yes.
    for (int tabs = 0; tabs < 8 && QApplication::focusWidget() != button(quiz, u"home"_qs); ++tabs)
        QVERIFY(pressKey(Qt::Key_Tab));
    QCOMPARE(QApplication::focusWidget(), button(quiz, u"home"_qs));
    m_rig->services.answers.enqueue(true);
    QVERIFY(pressKey(Qt::Key_Space));
    QVERIFY(m_rig->flow.Welcome);
    QVERIFY(QTest::qWaitForWindowActive(m_rig->flow.Welcome));
    QTRY_VERIFY(!quiz);
    QTRY_VERIFY(!welcome);
}

QTEST_MAIN(ScreenFlowTest)
#include "screen_flow_test.moc"
