// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_driver.h"
#include "shell/picture_box.h"

#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <memory>

using namespace ScreenDriver;

class WelcomeScreenTest : public QObject
{
    Q_OBJECT

    WelcomeScreen* welcome() const { return m_rig->flow.Welcome; }
    QWidget* named(const QString& name) const { return control(welcome(), name); }
    // "Tab", "Return", a click on the named control, or, after Shift+Tab through Exit and About (which
    // let the focus leave the box unchecked) to Start, "Space" or a click on Start's caption.
    void leaveBy(const QString& move)
    {
        if (move.startsWith(u"Backtab")) {
            for (int i = 0; i < 3; ++i)
                pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(focusName(), u"Start"_qs);
        }
        if (move.endsWith(u"Tab") || move.endsWith(u"Return") || move.endsWith(u"Space"))
            pressKey(move.endsWith(u"Tab") ? Qt::Key_Tab : move.endsWith(u"Space") ? Qt::Key_Space : Qt::Key_Return);
        else
            click(named(move.section(u' ', -1)));
    }

    std::unique_ptr<ScreenRig> m_rig;

private Q_SLOTS:
    void init()
    {
        m_rig = std::make_unique<ScreenRig>();
        m_rig->flow.ShowWelcome();
        QVERIFY(QTest::qWaitForWindowActive(welcome()));
    }
    void cleanup() { m_rig.reset(); }

    void design_data()
    {
        addDesignColumns();

        const QString screen = u"Welcome"_qs;
        QTest::newRow("Picture1") << screen << QRect(15, 15, 7170, 2805) << QString();
        QTest::newRow("Label4") << u"Picture1"_qs << QRect(5310, 2370, 0, 0) << u"Total Question :"_qs;
        QTest::newRow("Text1") << screen << QRect(6540, 2370, 555, 315) << u"30"_qs;
        QTest::newRow("Start") << screen << QRect(5550, 2880, 1590, 360) << QString();
        QTest::newRow("Label3") << u"Start"_qs << QRect(435, 30, 0, 0) << u"Start Quiz"_qs;
        QTest::newRow("About") << screen << QRect(5550, 3225, 1590, 360) << QString();
        QTest::newRow("About2") << u"About"_qs << QRect(195, 30, 0, 0) << u"Previous Results"_qs;
        QTest::newRow("Exit") << screen << QRect(5550, 3570, 1590, 360) << QString();
        QTest::newRow("Label5") << u"Exit"_qs << QRect(645, 45, 0, 0) << u"Exit"_qs;
        QTest::newRow("Label1") << screen << QRect(45, 2925, 4320, 450) << QString();
        QTest::newRow("Label2") << screen << QRect(45, 3450, 4890, 435) << QString();
    }

    void design() { verifyDesign(welcome()); }

    void opening()
    {
        QCOMPARE(welcome()->windowTitle(), u"Tevrinic Quiz"_qs);
        QCOMPARE(welcome()->geometry(), QRect(161, 84, 478, 266));
        QVERIFY(caption(welcome(), u"Label2"_qs).startsWith(u"If you have any questions and doubt in any answers"_qs));
        QVERIFY(named(u"Label4"_qs)->mapTo(welcome(), QPoint(named(u"Label4"_qs)->width(), 0)).x() <=
                named(u"Text1"_qs)->x());
        QCOMPARE(control<PictureBox>(welcome(), u"Picture1"_qs)->picture().deviceIndependentSize(), QSizeF(479, 183));
        for (const auto& [face, label] :
             {std::pair(u"Start"_qs, u"Label3"_qs), {u"About"_qs, u"About2"_qs}, {u"Exit"_qs, u"Label5"_qs}}) {
            QCOMPARE(control<PictureBox>(welcome(), face)->picture().deviceIndependentSize(), QSizeF(101, 21));
            QCOMPARE(accessibleText(named(face), QAccessible::Name), caption(welcome(), label));
        }
        QVERIFY(!accessibleText(named(u"Text1"_qs), QAccessible::Name).isEmpty());

        // The focus starts on the banner, not in the count box.
        QCOMPARE(focusName(), u"Picture1"_qs);
        for (const QString& next : {u"Start"_qs, u"About"_qs, u"Exit"_qs, u"Text1"_qs, u"Picture1"_qs}) {
            QVERIFY(pressKey(Qt::Key_Tab));
            QCOMPARE(focusName(), next);
        }
        for (const QString& next : {u"Text1"_qs, u"Exit"_qs}) {
            QVERIFY(pressKey(Qt::Key_Backtab, Qt::ShiftModifier));
            QCOMPARE(focusName(), next);
        }
        QVERIFY(m_rig->services.messages.isEmpty());
    }

    // The verdicts themselves are tested in full in count_check_test; here each way out of the box.
    void countCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("move");
        QTest::addColumn<int>("count"); // -1: refused

        const QList<std::pair<QString, int>> texts = {
            {u"abc"_qs, -1}, {u"1.9"_qs, -1}, {u"3.5"_qs, 4}, {u"140"_qs, 140}};
        for (const auto& [text, count] : texts) {
            for (const char* move :
                 {"Tab", "Return", "Picture1", "Label4", "Start", "Label3", "Backtab, Space", "Backtab, Label3"})
                QTest::addRow("'%s', %s", qPrintable(text), move) << text << QString::fromLatin1(move) << count;
        }
    }

    // A refused count shows the one message, keeps the text and the focus in the box, and the move
    // does not happen; each new attempt asks again.
    void countCheck()
    {
        QFETCH(QString, text);
        QFETCH(QString, move);
        QFETCH(int, count);

        const QPointer<WelcomeScreen> screen = welcome();
        const QList<FakeServices::Message>& messages = m_rig->services.messages;
        typeCount(screen, text);
        QCOMPARE(focusName(), u"Text1"_qs);
        leaveBy(move);

        if (count < 0) {
            for (int attempt = 1; attempt <= 2; ++attempt) {
                QCOMPARE(messages.size(), attempt);
                QCOMPARE(messages.last().title, u"Error"_qs);
                QCOMPARE(messages.last().text, u"Please Type Value Between 2 To 140"_qs);
                QCOMPARE(messages.last().parent.data(), screen.data());
                QCOMPARE(countBox(screen)->text(), text);
                QCOMPARE(focusName(), u"Text1"_qs);
                QVERIFY(!m_rig->flow.Quiz && screen->isVisible());
                if (attempt == 1)
                    leaveBy(move);
            }
            return;
        }
        QVERIFY(messages.isEmpty());
        if (move == u"Return" || move.endsWith(u"Start") || move.endsWith(u"Space") || move.endsWith(u"Label3")) {
            QVERIFY(m_rig->flow.Quiz && m_rig->flow.Quiz->isVisible());
            QCOMPARE(int(m_rig->flow.Quiz->TotQues), count);
            QTRY_VERIFY(!screen);
        } else {
            QVERIFY(!m_rig->flow.Quiz);
            QCOMPARE(focusName(), u"Picture1"_qs);
        }
    }

    // Right and middle clicks on the banner or Start, and the focus lost to another window, are no
    // move out of the box; back in its window the box is checked as the focus leaves it.
    void whatIsNoMove()
    {
        typeCount(welcome(), u"abc"_qs);
        for (const QString& target : {u"Picture1"_qs, u"Start"_qs}) {
            QTest::mouseClick(named(target), Qt::RightButton);
            QTest::mouseClick(named(target), Qt::MiddleButton);
        }
        QCOMPARE(focusName(), u"Text1"_qs);
        QWidget other;
        auto* field = new QLineEdit(&other);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(QApplication::focusWidget(), field);
        welcome()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(welcome()));
        QCOMPARE(focusName(), u"Text1"_qs);
        QVERIFY(m_rig->services.messages.isEmpty() && !m_rig->flow.Quiz);

        pressKey(Qt::Key_Tab);
        QCOMPARE(m_rig->services.messages.size(), 1);
        QCOMPARE(focusName(), u"Text1"_qs);
        QCOMPARE(countBox(welcome())->text(), u"abc"_qs);
    }

    void countBoxTakesThreeCharacters()
    {
        typeCount(welcome(), u"1234"_qs);
        QCOMPARE(countBox(welcome())->text(), u"123"_qs);
        typeCount(welcome(), u"12"_qs);
        QGuiApplication::clipboard()->setText(u"345"_qs);
        pressKey(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(countBox(welcome())->text(), u"123"_qs);
    }

    void exitAndPreviousResults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QList<int>>("pageAges"); // hours, beside the program and in the player's folder; -1: none
        QTest::addColumn<int>("opened");          // -1 none, 0 the program folder's page, 1 the player's folder's

        for (const QString& text : {u"30"_qs, u"abc"_qs, QString()}) {
            for (const char* target : {"Exit", "Label5", "About", "About2"})
                QTest::addRow("'%s', %s", qPrintable(text), target)
                    << text << QString::fromLatin1(target) << QList{1, -1} << (target[0] == 'A' ? 0 : -1);
        }
        QTest::newRow("no page yet") << u"30"_qs << u"About"_qs << QList{-1, -1} << -1;
        QTest::newRow("in the player's folder") << u"30"_qs << u"About"_qs << QList{-1, 5} << 1;
        QTest::newRow("both, the program's newer") << u"30"_qs << u"About"_qs << QList{2, 7} << 0;
        QTest::newRow("both, the player's newer") << u"30"_qs << u"About"_qs << QList{7, 2} << 1;
    }

    // Exit ends the program and Previous Results opens the newer page of the two folders, or none;
    // neither asks about the count, starts a quiz or writes a file.
    void exitAndPreviousResults()
    {
        QFETCH(QString, text);
        QFETCH(QString, target);
        QFETCH(QList<int>, pageAges);
        QFETCH(int, opened);

        const QStringList pages = {m_rig->programDir.filePath(u"Results.htm"_qs),
                                   m_rig->userDir.filePath(u"Results.htm"_qs)};
        for (int i : {0, 1}) {
            QFile page(pages[i]);
            QVERIFY(pageAges[i] < 0 ||
                    (page.open(QIODevice::WriteOnly) && page.write("<html></html>") > 0 && page.flush() &&
                     page.setFileTime(QDateTime::currentDateTime().addSecs(-3600 * pageAges[i]),
                                      QFileDevice::FileModificationTime)));
        }
        const QStringList files = m_rig->writtenFiles();
        typeCount(welcome(), text);
        click(named(target));

        QCOMPARE(m_rig->services.exitCalls, target.startsWith(u"About") ? 0 : 1);
        QCOMPARE(m_rig->services.openedPages, opened < 0 ? QStringList() : QStringList{pages[opened]});
        QVERIFY(m_rig->services.messages.isEmpty() && !m_rig->flow.Quiz);
        QCOMPARE(m_rig->writtenFiles(), files);
        QCOMPARE(countBox(welcome())->text(), text);
    }
};

QTEST_MAIN(WelcomeScreenTest)
#include "welcome_screen_test.moc"
