// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_driver.h"
#include "screen_rig.h"
#include "shell/picture_box.h"
#include "shell/screen_fonts.h"

#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

using namespace ScreenDriver;

// The ways of leaving the count box.
enum class Move
{
    Tab,
    BannerClick,
    BannerCaptionClick,
    StartClick,
    StartCaptionClick,
    ReturnKey,
};
Q_DECLARE_METATYPE(Move)

class WelcomeScreenTest : public QObject
{
    Q_OBJECT

private:
    WelcomeScreen* welcome() const { return m_rig->flow.Welcome; }
    QWidget* named(const QString& name) const { return control(welcome(), name); }
    void makeMove(Move move);
    void writePage(const QString& path, const QDateTime& modified);

    std::unique_ptr<ScreenRig> m_rig;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void design();
    void layout_data();
    void layout();
    void focusOrder();

    void countCheck_data();
    void countCheck();
    void startChecksTheCountWhereverTheFocusIs_data();
    void startChecksTheCountWhereverTheFocusIs();
    void otherMouseButtonsAreNoMove_data();
    void otherMouseButtonsAreNoMove();
    void focusLostToAnotherWindowIsNoMove();
    void countBoxTakesThreeCharacters_data();
    void countBoxTakesThreeCharacters();

    void exitAndPreviousResultsWhateverTheCount_data();
    void exitAndPreviousResultsWhateverTheCount();
    void previousResultsOpensTheNewestPage_data();
    void previousResultsOpensTheNewestPage();
};

void WelcomeScreenTest::initTestCase()
{
    ScreenFonts::InstallTahoma();
    // The tests close screens without ending the run.
    QApplication::setQuitOnLastWindowClosed(false);
}

void WelcomeScreenTest::init()
{
    m_rig = std::make_unique<ScreenRig>();
    QVERIFY(m_rig->programDir.isValid() && m_rig->userDir.isValid());
    m_rig->flow.ShowWelcome();
    QVERIFY(welcome());
    QVERIFY(QTest::qWaitForWindowActive(welcome()));
}

void WelcomeScreenTest::cleanup()
{
    m_rig.reset();
}

void WelcomeScreenTest::makeMove(Move move)
{
    switch (move) {
    case Move::Tab:
        pressKey(Qt::Key_Tab);
        break;
    case Move::BannerClick:
        click(named(u"Picture1"_qs));
        break;
    case Move::BannerCaptionClick:
        click(named(u"Label4"_qs));
        break;
    case Move::StartClick:
        click(named(u"Start"_qs));
        break;
    case Move::StartCaptionClick:
        click(named(u"Label3"_qs));
        break;
    case Move::ReturnKey:
        pressKey(Qt::Key_Return);
        break;
    }
}

void WelcomeScreenTest::writePage(const QString& path, const QDateTime& modified)
{
    QFile page(path);
    QVERIFY(page.open(QIODevice::WriteOnly));
    QVERIFY(page.write("<html></html>\r\n") > 0);
    QVERIFY(page.flush());
    QVERIFY(page.setFileTime(modified, QFileDevice::FileModificationTime));
}

void WelcomeScreenTest::design()
{
    QCOMPARE(welcome()->windowTitle(), u"Tevrinic Quiz"_qs);
    QCOMPARE(welcome()->geometry(), QRect(161, 84, 478, 266));
    QCOMPARE(countBox(welcome())->text(), u"30"_qs);
    // The screen opens with the focus on the banner, not in the count box.
    QCOMPARE(QApplication::focusWidget(), named(u"Picture1"_qs));

    const QList<std::pair<const char*, const char*>> captions = {
        {"Label4", "Total Question :"}, {"Label3", "Start Quiz"}, {"About2", "Previous Results"}, {"Label5", "Exit"}};
    for (const auto& [name, text] : captions)
        QCOMPARE(caption(welcome(), QString::fromLatin1(name)), QString::fromLatin1(text));
    QVERIFY(caption(welcome(), u"Label2"_qs)
                .startsWith(u"If you have any questions and doubt in any answers so please email us at "_qs));
    // The information text shows whole in its two lines; the count's caption ends before the box.
    for (const QString& name : {u"Label1"_qs, u"Label2"_qs}) {
        auto* info = control<QLabel>(welcome(), name);
        const QRect room = info->contentsRect();
        const QRect needed = QFontMetrics(info->font()).boundingRect(room, Qt::TextWordWrap, info->text());
        QVERIFY2(info->wordWrap() && room.contains(needed), qPrintable(name));
    }
    QVERIFY(named(u"Label4"_qs)->mapTo(welcome(), QPoint(named(u"Label4"_qs)->width(), 0)).x() <=
            named(u"Text1"_qs)->x());

    // The banner and the button faces are drawn from their pictures.
    QCOMPARE(control<PictureBox>(welcome(), u"Picture1"_qs)->picture().deviceIndependentSize().toSize(),
             QSize(479, 183));
    for (const QString& name : {u"Start"_qs, u"About"_qs, u"Exit"_qs})
        QCOMPARE(control<PictureBox>(welcome(), name)->picture().deviceIndependentSize().toSize(), QSize(101, 21));

    // A screen reader names the count box, the banner and each button by the caption drawn on it.
    QVERIFY(!accessibleText(named(u"Text1"_qs), QAccessible::Name).isEmpty());
    QVERIFY(!accessibleText(named(u"Picture1"_qs), QAccessible::Name).isEmpty());
    QCOMPARE(accessibleText(named(u"Start"_qs), QAccessible::Name), u"Start Quiz"_qs);
    QCOMPARE(accessibleText(named(u"About"_qs), QAccessible::Name), u"Previous Results"_qs);
    QCOMPARE(accessibleText(named(u"Exit"_qs), QAccessible::Name), u"Exit"_qs);
}

void WelcomeScreenTest::layout_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("sizedToText");

    const QString screen = u"Welcome"_qs;
    QTest::newRow("Picture1") << screen << QRect(15, 15, 7170, 2805) << false;
    QTest::newRow("Label4") << u"Picture1"_qs << QRect(5310, 2370, 1125, 195) << true;
    QTest::newRow("Text1") << screen << QRect(6540, 2370, 555, 315) << false;
    QTest::newRow("Start") << screen << QRect(5550, 2880, 1590, 360) << false;
    QTest::newRow("Label3") << u"Start"_qs << QRect(435, 30, 690, 195) << true;
    QTest::newRow("About") << screen << QRect(5550, 3225, 1590, 360) << false;
    QTest::newRow("About2") << u"About"_qs << QRect(195, 30, 1185, 195) << true;
    QTest::newRow("Exit") << screen << QRect(5550, 3570, 1590, 360) << false;
    QTest::newRow("Label5") << u"Exit"_qs << QRect(645, 45, 255, 195) << true;
    QTest::newRow("Label1") << screen << QRect(45, 2925, 4320, 450) << false;
    QTest::newRow("Label2") << screen << QRect(45, 3450, 4890, 435) << false;
}

void WelcomeScreenTest::layout()
{
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(bool, sizedToText);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QString mismatch = placementMismatch(welcome(), name, container, twips, sizedToText);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // Captions lie whole on their pictures.
    QWidget* widget = named(name);
    QVERIFY(!sizedToText || widget->parentWidget()->rect().contains(widget->geometry()));
}

void WelcomeScreenTest::focusOrder()
{
    for (const QString& next : {u"Start"_qs, u"About"_qs, u"Exit"_qs, u"Text1"_qs, u"Picture1"_qs}) {
        QVERIFY(pressKey(Qt::Key_Tab));
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    for (const QString& next : {u"Text1"_qs, u"Exit"_qs}) {
        QVERIFY(pressKey(Qt::Key_Backtab, Qt::ShiftModifier));
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QVERIFY(m_rig->services.messages.isEmpty());
}

void WelcomeScreenTest::countCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Move>("move");
    QTest::addColumn<int>("count"); // -1: refused

    const QList<std::pair<QString, int>> texts = {
        {u"30"_qs, 30},  {u"2"_qs, 2},    {u"140"_qs, 140}, {u"1"_qs, -1},   {u"0"_qs, -1},    {u"-5"_qs, -1},
        {u"141"_qs, -1}, {QString(), -1}, {u"abc"_qs, -1},  {u" 25"_qs, 25}, {u"25 "_qs, 25},  {u"1.5"_qs, -1},
        {u"1.9"_qs, -1}, {u"2.5"_qs, 2},  {u"3.5"_qs, 4},   {u"7.6"_qs, 8},  {u"1e2"_qs, 100}, {u"2e2"_qs, -1},
        {u"+99"_qs, 99}, {u"2,5"_qs, -1}, {u"."_qs, -1},
    };
    const QList<std::pair<Move, const char*>> moves = {
        {Move::Tab, "Tab"},
        {Move::BannerClick, "click on the banner"},
        {Move::BannerCaptionClick, "click on the banner's caption"},
        {Move::StartClick, "click on Start"},
        {Move::StartCaptionClick, "click on Start's caption"},
        {Move::ReturnKey, "Return"},
    };
    for (const auto& [text, count] : texts) {
        for (const auto& [move, moveName] : moves)
            QTest::addRow("'%s', %s", qPrintable(text), moveName) << text << move << count;
    }
}

// Every way out of the count box runs the check: a refused count shows the one message, keeps
// the text and the focus in the box, and the move does not happen; each new attempt asks again.
void WelcomeScreenTest::countCheck()
{
    QFETCH(QString, text);
    QFETCH(Move, move);
    QFETCH(int, count);

    const QPointer<WelcomeScreen> screen = welcome();
    QLineEdit* box = countBox(screen);
    typeCount(screen, text);
    QCOMPARE(box->text(), text);
    QCOMPARE(QApplication::focusWidget(), box);
    makeMove(move);
    const FakeServices& services = m_rig->services;

    if (count < 0) {
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QCOMPARE(services.messages.size(), attempt);
            QCOMPARE(services.messages.last().title, u"Error"_qs);
            QCOMPARE(services.messages.last().text, u"Please Type Value Between 2 To 140"_qs);
            QCOMPARE(services.messages.last().parent.data(), screen.data());
            QCOMPARE(box->text(), text);
            QCOMPARE(QApplication::focusWidget(), box);
            QVERIFY(!m_rig->flow.Quiz);
            QVERIFY(screen->isVisible());
            if (attempt == 1)
                makeMove(move);
        }
        return;
    }

    QVERIFY(services.messages.isEmpty());
    if (move == Move::StartClick || move == Move::StartCaptionClick || move == Move::ReturnKey) {
        QuizScreen* quiz = m_rig->flow.Quiz;
        QVERIFY(quiz && quiz->isVisible());
        QCOMPARE(int(quiz->TotQues), count);
        QCOMPARE(caption(quiz, u"Label3"_qs), u"1/%1"_qs.arg(count));
        QTRY_VERIFY(!screen);
    } else {
        QVERIFY(!m_rig->flow.Quiz);
        QCOMPARE(QApplication::focusWidget(), named(u"Picture1"_qs));
    }
}

void WelcomeScreenTest::startChecksTheCountWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byKeyboard"); // Space on Start rather than a click on its caption
    QTest::addColumn<int>("count");

    QTest::newRow("refused, caption clicked") << u"141"_qs << false << -1;
    QTest::newRow("refused, Space on Start") << QString() << true << -1;
    QTest::newRow("accepted, Space on Start") << u"9"_qs << true << 9;
}

// Exit and Previous Results let the focus leave the box unchecked; Start checks all the same.
void WelcomeScreenTest::startChecksTheCountWhereverTheFocusIs()
{
    QFETCH(QString, text);
    QFETCH(bool, byKeyboard);
    QFETCH(int, count);

    typeCount(welcome(), text);
    for (const QString& next : {u"Exit"_qs, u"About"_qs, u"Start"_qs}) {
        QVERIFY(pressKey(Qt::Key_Backtab, Qt::ShiftModifier));
        QCOMPARE(QApplication::focusWidget(), named(next));
    }
    QVERIFY(m_rig->services.messages.isEmpty());
    if (byKeyboard)
        pressKey(Qt::Key_Space);
    else
        click(named(u"Label3"_qs));

    QCOMPARE(m_rig->services.messages.size(), count < 0 ? 1 : 0);
    if (count < 0) {
        QVERIFY(!m_rig->flow.Quiz);
        QCOMPARE(QApplication::focusWidget(), countBox(welcome()));
        QCOMPARE(countBox(welcome())->text(), text);
    } else {
        QVERIFY(m_rig->flow.Quiz);
        QCOMPARE(int(m_rig->flow.Quiz->TotQues), count);
    }
}

void WelcomeScreenTest::otherMouseButtonsAreNoMove_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Qt::MouseButton>("mouseButton");

    for (const QString& target : {u"Picture1"_qs, u"Start"_qs}) {
        QTest::addRow("right click on %s", qPrintable(target)) << target << Qt::RightButton;
        QTest::addRow("middle click on %s", qPrintable(target)) << target << Qt::MiddleButton;
    }
}

// Only a left click is a click on the picture buttons and takes the focus there, so no other
// button leaves the count box or asks about its count.
void WelcomeScreenTest::otherMouseButtonsAreNoMove()
{
    QFETCH(QString, target);
    QFETCH(Qt::MouseButton, mouseButton);

    typeCount(welcome(), u"abc"_qs);
    QTest::mouseClick(named(target), mouseButton);
    QVERIFY2(m_rig->services.messages.isEmpty(), "a click that moves nothing was refused");
    QCOMPARE(QApplication::focusWidget(), countBox(welcome()));
    QVERIFY(!m_rig->flow.Quiz);
}

void WelcomeScreenTest::focusLostToAnotherWindowIsNoMove()
{
    typeCount(welcome(), u"abc"_qs);
    QLineEdit* box = countBox(welcome());

    QWidget other;
    auto* field = new QLineEdit(&other);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(QApplication::focusWidget(), field);

    welcome()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(welcome()));
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->text(), u"abc"_qs);
    QVERIFY(m_rig->services.messages.isEmpty());

    // Back in its window, the box is checked again as the focus leaves it.
    pressKey(Qt::Key_Tab);
    QCOMPARE(m_rig->services.messages.size(), 1);
    QCOMPARE(QApplication::focusWidget(), box);
}

void WelcomeScreenTest::countBoxTakesThreeCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("held");

    QTest::newRow("typed") << u"1234"_qs << QString() << u"123"_qs;
    QTest::newRow("pasted") << QString() << u"98765"_qs << u"987"_qs;
    QTest::newRow("typed, then pasted") << u"12"_qs << u"345"_qs << u"123"_qs;
}

void WelcomeScreenTest::countBoxTakesThreeCharacters()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, held);

    typeCount(welcome(), typed);
    if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        pressKey(Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(countBox(welcome())->text(), held);
}

void WelcomeScreenTest::exitAndPreviousResultsWhateverTheCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("target");

    for (const QString& text : {u"30"_qs, u"abc"_qs, QString(), u"141"_qs}) {
        for (const QString& target : {u"Exit"_qs, u"Label5"_qs, u"About"_qs, u"About2"_qs})
            QTest::addRow("'%s', %s", qPrintable(text), qPrintable(target)) << text << target;
    }
}

// Exit ends the program and writes nothing; Previous Results opens the last page; neither asks
// about the count, and neither starts a quiz.
void WelcomeScreenTest::exitAndPreviousResultsWhateverTheCount()
{
    QFETCH(QString, text);
    QFETCH(QString, target);

    const QString page = m_rig->programDir.filePath(u"Results.htm"_qs);
    writePage(page, QDateTime::currentDateTime());
    const QStringList files = m_rig->writtenFiles();
    typeCount(welcome(), text);
    click(named(target));

    const FakeServices& services = m_rig->services;
    const bool exits = target == u"Exit" || target == u"Label5";
    QCOMPARE(services.exitCalls, exits ? 1 : 0);
    QCOMPARE(services.openedPages, exits ? QStringList() : QStringList{page});
    QVERIFY(services.messages.isEmpty());
    QVERIFY(!m_rig->flow.Quiz);
    QCOMPARE(m_rig->writtenFiles(), files);
    QCOMPARE(countBox(welcome())->text(), text);
}

void WelcomeScreenTest::previousResultsOpensTheNewestPage_data()
{
    QTest::addColumn<int>("programAge"); // hours since the page was written; 0: no page
    QTest::addColumn<int>("userAge");
    QTest::addColumn<int>("opened"); // 0 none, 1 the program folder's page, 2 the player's folder's

    QTest::newRow("no page yet") << 0 << 0 << 0;
    QTest::newRow("beside the program") << 5 << 0 << 1;
    QTest::newRow("in the player's folder") << 0 << 5 << 2;
    QTest::newRow("both, the program's newer") << 2 << 7 << 1;
    QTest::newRow("both, the player's newer") << 7 << 2 << 2;
}

void WelcomeScreenTest::previousResultsOpensTheNewestPage()
{
    QFETCH(int, programAge);
    QFETCH(int, userAge);
    QFETCH(int, opened);

    const QStringList pages = {m_rig->programDir.filePath(u"Results.htm"_qs),
                               m_rig->userDir.filePath(u"Results.htm"_qs)};
    const QDateTime now = QDateTime::currentDateTime();
    if (programAge > 0)
        writePage(pages[0], now.addSecs(-3600 * programAge));
    if (userAge > 0)
        writePage(pages[1], now.addSecs(-3600 * userAge));

    click(named(u"About"_qs));
    QVERIFY(m_rig->services.messages.isEmpty());
    QCOMPARE(m_rig->services.openedPages, opened == 0 ? QStringList() : QStringList{pages[opened - 1]});
}

QTEST_MAIN(WelcomeScreenTest)
#include "welcome_screen_test.moc"
