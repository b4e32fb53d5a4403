// SPDX-License-Identifier: GPL-3.0-or-later
// The real boxes of the desktop: how they look, and that each attempt opens exactly one.
#include "modal_box_answerer.h"
#include "screen_driver.h"
#include "shell/screen_fonts.h"
#include "shell/shell_services.h"

#include <QTest>
#include <memory>

using namespace ScreenDriver;

class MessageBoxTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopServices> m_services;
    std::unique_ptr<ScreenFlow> m_flow;
    std::unique_ptr<ModalBoxAnswerer> m_answerer;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void refusedCountShowsOneErrorBox_data();
    void refusedCountShowsOneErrorBox();
    void homeAsksBeforeLeaving();
};

void MessageBoxTest::initTestCase()
{
    ScreenFonts::InstallTahoma();
    QApplication::setQuitOnLastWindowClosed(false);
}

void MessageBoxTest::init()
{
    m_answerer = std::make_unique<ModalBoxAnswerer>();
    m_services = std::make_unique<DesktopServices>();
    m_flow = std::make_unique<ScreenFlow>(*m_services);
    m_flow->ShowWelcome();
    QVERIFY(QTest::qWaitForWindowActive(m_flow->Welcome));
}

void MessageBoxTest::cleanup()
{
    m_flow.reset();
    m_services.reset();
    m_answerer.reset();
}

void MessageBoxTest::refusedCountShowsOneErrorBox_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Tab") << u"Tab"_qs;
    QTest::newRow("Return") << u"Return"_qs;
    QTest::newRow("click on the banner") << u"Picture1"_qs;
    QTest::newRow("click on Start") << u"Start"_qs;
    QTest::newRow("click on Start's caption") << u"Label3"_qs;
}

void MessageBoxTest::refusedCountShowsOneErrorBox()
{
    QFETCH(QString, way);
    WelcomeScreen* welcome = m_flow->Welcome;
    QLineEdit* box = countBox(welcome);
    typeCount(welcome, u"abc"_qs);

    m_answerer->arm();
    if (way == u"Tab")
        pressKey(Qt::Key_Tab);
    else if (way == u"Return")
        pressKey(Qt::Key_Return);
    else
        click(control(welcome, way));
    // The box is closed; the window system gives the screen back its activation, and with it
    // the focus, which must stay in the box without a second message.
    QCOMPARE(m_answerer->boxes.size(), 1);
    QCOMPARE(welcome->focusWidget(), box);
    welcome->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(welcome));

    QCOMPARE(m_answerer->boxes.size(), 1);
    const ModalBoxAnswerer::Box& shown = m_answerer->boxes[0];
    QCOMPARE(shown.title, u"Error"_qs);
    QCOMPARE(shown.text, u"Please Type Value Between 2 To 140"_qs);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown.icon, QMessageBox::NoIcon);
    QCOMPARE(box->text(), u"abc"_qs);
    QCOMPARE(QApplication::focusWidget(), box);
    QVERIFY(!m_flow->Quiz);
}

void MessageBoxTest::homeAsksBeforeLeaving()
{
    m_flow->StartQuiz(3);
    const QPointer<QuizScreen> quiz = m_flow->Quiz;
    QVERIFY(quiz);
    QVERIFY(QTest::qWaitForWindowActive(quiz));
    clickAnswer(quiz, 0);

    // The default answer is No: the quiz stays as it was.
    m_answerer->arm();
    click(button(quiz, u"home"_qs));
    QCOMPARE(m_answerer->boxes.size(), 1);
    const ModalBoxAnswerer::Box& asked = m_answerer->boxes[0];
    QCOMPARE(asked.title, u"Confirm"_qs);
    QCOMPARE(asked.text, u"Do you really want to quit current session"_qs);
    QCOMPARE(asked.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(asked.defaultButton, QMessageBox::No);
    QCOMPARE(asked.icon, QMessageBox::NoIcon);
    QCOMPARE(asked.pressed, QMessageBox::No);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(quiz && quiz->isVisible());
    QVERIFY(!m_flow->Welcome);
    QCOMPARE(caption(quiz, u"Label3"_qs), u"1/3"_qs);

    m_answerer->answerWith({QMessageBox::Yes});
    m_answerer->arm();
    click(button(quiz, u"home"_qs));
    QCOMPARE(m_answerer->boxes.size(), 2);
    QVERIFY(m_flow->Welcome);
    QTRY_VERIFY(!quiz);
    QCOMPARE(countBox(m_flow->Welcome)->text(), u"30"_qs);
}

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
