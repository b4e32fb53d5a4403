// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_driver.h"
#include "screen_rig.h"
#include "shell/screen_fonts.h"

#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <memory>

using namespace ScreenDriver;

// The ways of leaving the count box that run the count check.
enum class Move
{
    Tab,
    BannerClick,
    BannerCaptionClick,
    StartClick,
    LabelClick,
    ReturnKey,
};
Q_DECLARE_METATYPE(Move)

// Which results pages lie in the store's two folders before Previous Results is pressed.
enum class Pages
{
    None,
    ProgramOnly,
    UserOnly,
    ProgramNewer,
    UserNewer,
};
Q_DECLARE_METATYPE(Pages)

class WelcomeScreenTest : public QObject
{
    Q_OBJECT

private:
    WelcomeScreen* welcome() const { return m_rig->flow.Welcome; }
    QWidget* named(const QString& name) const { return control(welcome(), name); }
    QWidget* named(const char* name) const { return named(QString::fromLatin1(name)); }
    void writePage(const QString& path, const QDateTime& modified);

    std::unique_ptr<ScreenRig> m_rig;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowAsDesigned();
    void layout_data();
    void layout();
    void textsShowWhole();
    void focusOrder();
    void accessibleNames();

    void countCheck_data();
    void countCheck();
    void everyRefusedAttemptShowsOneMessage();
    void startChecksTheCountWhereverTheFocusIs_data();
    void startChecksTheCountWhereverTheFocusIs();
    void focusLostToAnotherWindowIsNoMove();
    void closingIsNoMove();
    void countBoxTakesThreeCharacters_data();
    void countBoxTakesThreeCharacters();

    void exitWhateverTheCount_data();
    void exitWhateverTheCount();
    void previousResultsWhateverTheCount_data();
    void previousResultsWhateverTheCount();
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

void WelcomeScreenTest::writePage(const QString& path, const QDateTime& modified)
{
    QFile page(path);
    QVERIFY(page.open(QIODevice::WriteOnly));
    QVERIFY(page.write("<html></html>\r\n") > 0);
    QVERIFY(page.flush());
    QVERIFY(page.setFileTime(modified, QFileDevice::FileModificationTime));
}

void WelcomeScreenTest::windowAsDesigned()
{
    QCOMPARE(welcome()->windowTitle(), u"Tevrinic Quiz"_qs);
    QCOMPARE(welcome()->size(), QSize(478, 266));
    QCOMPARE(welcome()->geometry().topLeft(), QPoint(161, 84));
    QCOMPARE(countBox(welcome())->text(), u"30"_qs);
    // The screen opens with the focus on the banner, not in the count box.
    QCOMPARE(QApplication::focusWidget(), named("Picture1"));
}

void WelcomeScreenTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("sizedToText");
    QTest::addColumn<QString>("text");

    const QString screen = u"Welcome"_qs;
    QTest::newRow("Picture1") << u"Picture1"_qs << screen << QRect(15, 15, 7170, 2805) << false << QString();
    QTest::newRow("Label4") << u"Label4"_qs << u"Picture1"_qs << QRect(5310, 2370, 1125, 195) << true
                            << u"Total Question :"_qs;
    QTest::newRow("Text1") << u"Text1"_qs << screen << QRect(6540, 2370, 555, 315) << false << u"30"_qs;
    QTest::newRow("Start") << u"Start"_qs << screen << QRect(5550, 2880, 1590, 360) << false << QString();
    QTest::newRow("Label3") << u"Label3"_qs << u"Start"_qs << QRect(435, 30, 690, 195) << true << u"Start Quiz"_qs;
    QTest::newRow("About") << u"About"_qs << screen << QRect(5550, 3225, 1590, 360) << false << QString();
    QTest::newRow("About2") << u"About2"_qs << u"About"_qs << QRect(195, 30, 1185, 195) << true
                            << u"Previous Results"_qs;
    QTest::newRow("Exit") << u"Exit"_qs << screen << QRect(5550, 3570, 1590, 360) << false << QString();
    QTest::newRow("Label5") << u"Label5"_qs << u"Exit"_qs << QRect(645, 45, 255, 195) << true << u"Exit"_qs;
    QTest::newRow("Label1") << u"Label1"_qs << screen << QRect(45, 2925, 4320, 450) << false << QString();
    QTest::newRow("Label2") << u"Label2"_qs << screen << QRect(45, 3450, 4890, 435) << false << QString();
}

void WelcomeScreenTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(bool, sizedToText);
    QFETCH(QString, text);

    const auto px = [](int t) { return qRound(t / 15.0); };
    QWidget* widget = control(welcome(), name);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->pos(), QPoint(px(twips.left()), px(twips.top())));

    if (!sizedToText) {
        QCOMPARE(widget->size(), QSize(px(twips.width()), px(twips.height())));
    } else {
        // A caption sized to its text shows all of it and stays on its picture.
        auto* label = qobject_cast<QLabel*>(widget);
        QVERIFY(label);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), qPrintable(name));
    }
    if (!text.isEmpty()) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), text);
        else
            QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), text);
    }
}

// The information text shows whole within its two lines, and the count's caption ends before
// the count box that lies over the banner beside it.
void WelcomeScreenTest::textsShowWhole()
{
    for (const char* name : {"Label1", "Label2"}) {
        auto* info = qobject_cast<QLabel*>(named(name));
        QVERIFY(info && info->wordWrap());
        const QRect room = info->contentsRect();
        const QRect needed = QFontMetrics(info->font()).boundingRect(room, Qt::TextWordWrap, info->text());
        QVERIFY2(needed.height() <= room.height() && needed.width() <= room.width(), qPrintable(info->text()));
    }
    QVERIFY(caption(welcome(), u"Label2"_qs)
                .startsWith(u"If you have any questions and doubt in any answers so please email us at "_qs));
    const QRect label4(named("Label4")->mapTo(welcome(), QPoint(0, 0)), named("Label4")->size());
    QVERIFY(label4.right() < named("Text1")->geometry().left());
}

void WelcomeScreenTest::focusOrder()
{
    const QStringList order = {u"Start"_qs, u"About"_qs, u"Exit"_qs, u"Text1"_qs, u"Picture1"_qs};
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Picture1"_qs);
    for (const QString& next : order) {
        QVERIFY(pressKey(Qt::Key_Tab));
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    // Round again backwards: the banner, the count box, Exit, About, Start.
    const QStringList backwards = {u"Text1"_qs, u"Exit"_qs, u"About"_qs, u"Start"_qs, u"Picture1"_qs};
    for (const QString& next : backwards) {
        QVERIFY(pressKey(Qt::Key_Backtab, Qt::ShiftModifier));
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QVERIFY(m_rig->services.messages.isEmpty());
}

void WelcomeScreenTest::accessibleNames()
{
    for (const char* name : {"Picture1", "Text1", "Start", "About", "Exit"})
        QVERIFY2(!accessibleText(named(name), QAccessible::Name).isEmpty(), name);
    // A screen reader names each picture button by the caption drawn on it.
    QCOMPARE(accessibleText(named("Start"), QAccessible::Name), caption(welcome(), u"Label3"_qs));
    QCOMPARE(accessibleText(named("About"), QAccessible::Name), caption(welcome(), u"About2"_qs));
    QCOMPARE(accessibleText(named("Exit"), QAccessible::Name), caption(welcome(), u"Label5"_qs));
}

void WelcomeScreenTest::countCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Move>("move");
    QTest::addColumn<int>("count"); // -1: refused

    const QList<std::pair<QString, int>> texts = {
        {u"30"_qs, 30},  {u"2"_qs, 2},    {u"140"_qs, 140}, {u"1"_qs, -1},   {u"0"_qs, -1},   {u"-5"_qs, -1},
        {u"141"_qs, -1}, {QString(), -1}, {u"abc"_qs, -1},  {u" 25"_qs, 25}, {u"25 "_qs, 25}, {u"1.5"_qs, -1},
        {u"1.9"_qs, -1}, {u"2.5"_qs, 2},  {u"3.5"_qs, 4},   {u"4.5"_qs, 4},  {u"7.6"_qs, 8},  {u"1e2"_qs, 100},
        {u"2e2"_qs, -1}, {u"+99"_qs, 99}, {u"99."_qs, 99},  {u"2,5"_qs, -1}, {u"1 2"_qs, -1}, {u"-"_qs, -1},
        {u"."_qs, -1},   {u"0x2"_qs, -1},
    };
    const QList<std::pair<Move, const char*>> moves = {
        {Move::Tab, "Tab"},
        {Move::BannerClick, "click on the banner"},
        {Move::BannerCaptionClick, "click on the banner's caption"},
        {Move::StartClick, "click on Start"},
        {Move::LabelClick, "click on Start's caption"},
        {Move::ReturnKey, "Return"},
    };
    for (const auto& [text, count] : texts) {
        for (const auto& [move, moveName] : moves)
            QTest::addRow("'%s', %s", qPrintable(text), moveName) << text << move << count;
    }
}

// Every way out of the count box runs the check: a refused count shows the one message, keeps
// the text and the focus in the box, and the move does not happen.
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

    switch (move) {
    case Move::Tab:
        pressKey(Qt::Key_Tab);
        break;
    case Move::BannerClick:
        click(named("Picture1"));
        break;
    case Move::BannerCaptionClick:
        click(named("Label4"));
        break;
    case Move::StartClick:
        click(named("Start"));
        break;
    case Move::LabelClick:
        click(named("Label3"));
        break;
    case Move::ReturnKey:
        pressKey(Qt::Key_Return);
        break;
    }
    const bool starts = move == Move::StartClick || move == Move::LabelClick || move == Move::ReturnKey;
    const FakeServices& services = m_rig->services;

    if (count < 0) {
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.messages[0].title, u"Error"_qs);
        QCOMPARE(services.messages[0].text, u"Please Type Value Between 2 To 140"_qs);
        QCOMPARE(services.messages[0].parent.data(), screen.data());
        QCOMPARE(box->text(), text);
        QCOMPARE(QApplication::focusWidget(), box);
        QVERIFY(!m_rig->flow.Quiz);
        QVERIFY(screen->isVisible());
        return;
    }

    QVERIFY(services.messages.isEmpty());
    if (starts) {
        QuizScreen* quiz = m_rig->flow.Quiz;
        QVERIFY(quiz);
        QVERIFY(quiz->isVisible());
        QCOMPARE(int(quiz->TotQues), count);
        QCOMPARE(caption(quiz, u"Label3"_qs), u"1/%1"_qs.arg(count));
        QTRY_VERIFY(!screen);
    } else {
        QVERIFY(!m_rig->flow.Quiz);
        QCOMPARE(QApplication::focusWidget(), named("Picture1"));
    }
}

void WelcomeScreenTest::everyRefusedAttemptShowsOneMessage()
{
    typeCount(welcome(), u"abc"_qs);
    const FakeServices& services = m_rig->services;
    click(named("Start"));
    QCOMPARE(services.messages.size(), 1);
    click(named("Label3"));
    QCOMPARE(services.messages.size(), 2);
    pressKey(Qt::Key_Tab);
    QCOMPARE(services.messages.size(), 3);
    click(named("Picture1"));
    QCOMPARE(services.messages.size(), 4);
    click(named("Start"));
    QCOMPARE(services.messages.size(), 5);
    QVERIFY(!m_rig->flow.Quiz);

    // Put right, the same box starts the quiz.
    typeCount(welcome(), u"12"_qs);
    click(named("Start"));
    QCOMPARE(services.messages.size(), 5);
    QVERIFY(m_rig->flow.Quiz);
    QCOMPARE(int(m_rig->flow.Quiz->TotQues), 12);
}

void WelcomeScreenTest::startChecksTheCountWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byKeyboard"); // Space on Start rather than a click on its caption
    QTest::addColumn<int>("count");

    QTest::newRow("refused, caption clicked") << u"141"_qs << false << -1;
    QTest::newRow("refused, Space on Start") << u"141"_qs << true << -1;
    QTest::newRow("empty, Space on Start") << QString() << true << -1;
    QTest::newRow("accepted, caption clicked") << u"9"_qs << false << 9;
    QTest::newRow("accepted, Space on Start") << u"9"_qs << true << 9;
}

// Exit and Previous Results let the focus leave the box unchecked; Start checks all the same.
void WelcomeScreenTest::startChecksTheCountWhereverTheFocusIs()
{
    QFETCH(QString, text);
    QFETCH(bool, byKeyboard);
    QFETCH(int, count);

    typeCount(welcome(), text);
    // Backwards out of the box onto Exit, then About, then Start.
    for (const char* next : {"Exit", "About", "Start"}) {
        QVERIFY(pressKey(Qt::Key_Backtab, Qt::ShiftModifier));
        QCOMPARE(QApplication::focusWidget(), named(next));
    }
    QVERIFY(m_rig->services.messages.isEmpty());

    if (byKeyboard)
        pressKey(Qt::Key_Space);
    else
        click(named("Label3"));

    if (count < 0) {
        QCOMPARE(m_rig->services.messages.size(), 1);
        QVERIFY(!m_rig->flow.Quiz);
        QCOMPARE(QApplication::focusWidget(), countBox(welcome()));
        QCOMPARE(countBox(welcome())->text(), text);
    } else {
        QVERIFY(m_rig->services.messages.isEmpty());
        QVERIFY(m_rig->flow.Quiz);
        QCOMPARE(int(m_rig->flow.Quiz->TotQues), count);
    }
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
    QVERIFY(m_rig->services.messages.isEmpty());

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

// Closing the window through its frame asks nothing, whatever the box holds.
void WelcomeScreenTest::closingIsNoMove()
{
    const QPointer<WelcomeScreen> screen = welcome();
    typeCount(screen, u"abc"_qs);
    QVERIFY(screen->close());
    QTRY_VERIFY(!screen);
    QVERIFY(m_rig->services.messages.isEmpty());
    QVERIFY(!m_rig->flow.Quiz);
    QVERIFY(m_rig->writtenFiles().isEmpty());
}

void WelcomeScreenTest::countBoxTakesThreeCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("held");

    QTest::newRow("typed") << u"1234"_qs << QString() << u"123"_qs;
    QTest::newRow("pasted") << QString() << u"98765"_qs << u"987"_qs;
    QTest::newRow("typed, then pasted") << u"12"_qs << u"345"_qs << u"123"_qs;
    QTest::newRow("pasted, then typed") << u"5"_qs << u"67"_qs << u"567"_qs;
}

void WelcomeScreenTest::countBoxTakesThreeCharacters()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, held);

    typeCount(welcome(), QString());
    typeText(typed);
    if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        pressKey(Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(countBox(welcome())->text(), held);
    // A fourth character typed afterwards is refused too.
    typeText(u"9"_qs);
    QCOMPARE(countBox(welcome())->text().size(), 3);
}

void WelcomeScreenTest::exitWhateverTheCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("controlName");

    for (const QString& text : {u"30"_qs, u"abc"_qs, QString(), u"141"_qs}) {
        for (const QString& name : {u"Exit"_qs, u"Label5"_qs})
            QTest::addRow("'%s', %s", qPrintable(text), qPrintable(name)) << text << name;
    }
}

void WelcomeScreenTest::exitWhateverTheCount()
{
    QFETCH(QString, text);
    QFETCH(QString, controlName);

    typeCount(welcome(), text);
    click(named(controlName));
    const FakeServices& services = m_rig->services;
    QCOMPARE(services.exitCalls, 1);
    QVERIFY(services.messages.isEmpty());
    QVERIFY(services.questions.isEmpty());
    QVERIFY(services.openedPages.isEmpty());
    QVERIFY(!m_rig->flow.Quiz);
    QCOMPARE(m_rig->writtenFiles(), QStringList());
}

void WelcomeScreenTest::previousResultsWhateverTheCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("controlName");

    for (const QString& text : {u"30"_qs, u"abc"_qs, QString(), u"0"_qs}) {
        for (const QString& name : {u"About"_qs, u"About2"_qs})
            QTest::addRow("'%s', %s", qPrintable(text), qPrintable(name)) << text << name;
    }
}

void WelcomeScreenTest::previousResultsWhateverTheCount()
{
    QFETCH(QString, text);
    QFETCH(QString, controlName);

    const QString page = m_rig->programDir.filePath(u"Results.htm"_qs);
    writePage(page, QDateTime::currentDateTime());
    typeCount(welcome(), text);
    click(named(controlName));

    const FakeServices& services = m_rig->services;
    QCOMPARE(services.openedPages.size(), 1);
    QCOMPARE(QFileInfo(services.openedPages[0]).canonicalFilePath(), QFileInfo(page).canonicalFilePath());
    QVERIFY(services.messages.isEmpty());
    QCOMPARE(services.exitCalls, 0);
    QVERIFY(!m_rig->flow.Quiz);
    QVERIFY(welcome() && welcome()->isVisible());
    QCOMPARE(countBox(welcome())->text(), text);
}

void WelcomeScreenTest::previousResultsOpensTheNewestPage_data()
{
    QTest::addColumn<Pages>("pages");
    QTest::addColumn<int>("opened"); // 0 none, 1 the program folder's page, 2 the user folder's

    QTest::newRow("no page yet") << Pages::None << 0;
    QTest::newRow("beside the program") << Pages::ProgramOnly << 1;
    QTest::newRow("in the player's folder") << Pages::UserOnly << 2;
    QTest::newRow("both, the program's newer") << Pages::ProgramNewer << 1;
    QTest::newRow("both, the player's newer") << Pages::UserNewer << 2;
}

void WelcomeScreenTest::previousResultsOpensTheNewestPage()
{
    QFETCH(Pages, pages);
    QFETCH(int, opened);

    const QString programPage = m_rig->programDir.filePath(u"Results.htm"_qs);
    const QString userPage = m_rig->userDir.filePath(u"Results.htm"_qs);
    const QDateTime older = QDateTime::currentDateTime().addDays(-2);
    const QDateTime newer = older.addSecs(3600);
    if (pages == Pages::ProgramOnly || pages == Pages::ProgramNewer || pages == Pages::UserNewer)
        writePage(programPage, pages == Pages::UserNewer ? older : newer);
    if (pages == Pages::UserOnly || pages == Pages::ProgramNewer || pages == Pages::UserNewer)
        writePage(userPage, pages == Pages::ProgramNewer ? older : newer);

    click(named("About"));
    const FakeServices& services = m_rig->services;
    QVERIFY(services.messages.isEmpty());
    if (opened == 0) {
        QVERIFY(services.openedPages.isEmpty());
        return;
    }
    QCOMPARE(services.openedPages.size(), 1);
    QCOMPARE(QFileInfo(services.openedPages[0]).canonicalFilePath(),
             QFileInfo(opened == 1 ? programPage : userPage).canonicalFilePath());
}

QTEST_MAIN(WelcomeScreenTest)
#include "welcome_screen_test.moc"
