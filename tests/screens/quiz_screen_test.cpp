// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_driver.h"
#include "screen_rig.h"
#include "shell/picture_box.h"
#include "shell/screen_fonts.h"

#include <QButtonGroup>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace ScreenDriver;

namespace {

const QColor Black(0, 0, 0);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

// One answer row: three cells holding the question, the right answer and the chosen one,
// every cell bold for a wrong answer and none for a right one.
bool isAnswerRow(const QString& row, const QString& question, const QString& right, const QString& chosen, bool isRight)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QStringList cells = row.split(u"<td"_qs);
    if (!row.startsWith(u"<tr>") || !row.endsWith(u"</tr>") || row.count(u"<tr>") != 1 || cells.size() != 4)
        return false;
    const QStringList expected = {question, right, chosen};
    for (int i = 0; i < 3; ++i) {
        const QString cell = cells[i + 1].mid(cells[i + 1].indexOf(u'>') + 1);
        if (QString(cell).remove(tag) != expected[i] || cell.contains(u"<b>") == isRight)
            return false;
    }
    return true;
}

} // namespace

class QuizScreenTest : public QObject
{
    Q_OBJECT

private:
    QuizScreen* startQuiz(int count);
    QLabel* label(const char* name) const { return control<QLabel>(m_quiz, QString::fromLatin1(name)); }
    QPushButton* nextButton() const { return button(m_quiz, u"Nextbtn"_qs); }
    QList<QColor> colours() const;
    QList<bool> selection() const;
    QString newRows() const { return m_quiz->report().tableText().mid(ResultsReport().tableText().size()); }

    std::unique_ptr<ScreenRig> m_rig;
    QPointer<QuizScreen> m_quiz;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void design();
    void layout_data();
    void layout();

    void loadState_data();
    void loadState();
    void skippingTheFirstQuestion();
    void scoring_data();
    void scoring();
    void eachQuestionStartsBlackAndUnselected();

    void focusArrivingNeverSelects();
    void arrowKeysMoveTheFocusOnly_data();
    void arrowKeysMoveTheFocusOnly();
    void keysChooseAnAnswer_data();
    void keysChooseAnAnswer();
    void returnPressesNextWhenItCan();

    void resultAfterTheLastQuestion_data();
    void resultAfterTheLastQuestion();
    void resultTwiceWritesTheSamePage();
    void resultThatCannotBeWrittenIsTold();

    void accessibleNamesAndDescriptions_data();
    void accessibleNamesAndDescriptions();
    void bankTextsFitTheirControls();
};

void QuizScreenTest::initTestCase()
{
    ScreenFonts::InstallTahoma();
    QApplication::setQuitOnLastWindowClosed(false);
}

void QuizScreenTest::init()
{
    m_rig = std::make_unique<ScreenRig>();
    QVERIFY(m_rig->programDir.isValid() && m_rig->userDir.isValid());
}

void QuizScreenTest::cleanup()
{
    m_rig.reset();
}

QuizScreen* QuizScreenTest::startQuiz(int count)
{
    m_rig->flow.ShowWelcome();
    m_rig->flow.StartQuiz(static_cast<qint16>(count));
    m_quiz = m_rig->flow.Quiz;
    return m_quiz && QTest::qWaitForWindowActive(m_quiz) ? m_quiz.data() : nullptr;
}

QList<QColor> QuizScreenTest::colours() const
{
    QList<QColor> result;
    for (int i = 0; i < 4; ++i)
        result << option(m_quiz, i)->textColour();
    return result;
}

QList<bool> QuizScreenTest::selection() const
{
    QList<bool> result;
    for (int i = 0; i < 4; ++i)
        result << option(m_quiz, i)->isChecked();
    return result;
}

void QuizScreenTest::design()
{
    QVERIFY(startQuiz(140));
    QCOMPARE(m_quiz->windowTitle(), u"Tevrinic Quiz "_qs);
    QCOMPARE(m_quiz->geometry(), QRect(158, 119, 483, 265));
    QCOMPARE(label("Label2")->text(), u"Question :"_qs);
    QCOMPARE(label("Label4")->text(), u"Correct Ans :"_qs);
    QCOMPARE(label("Label5")->text(), u"Incorrect Ans :"_qs);
    QCOMPARE(button(m_quiz, u"home"_qs)->text(), u"Home"_qs);
    // The logo's box is exactly the logo's size.
    QCOMPARE(control<PictureBox>(m_quiz, u"Picture3"_qs)->picture().deviceIndependentSize().toSize(), QSize(260, 39));

    // Nothing but the two rules reaches past the client area, and the top line reads left to
    // right without one caption running into the next.
    for (QWidget* widget : m_quiz->findChildren<QWidget*>()) {
        const QRect placed(widget->mapTo(m_quiz, QPoint(0, 0)), widget->size());
        QVERIFY2(!widget->isVisibleTo(m_quiz) || widget->objectName().startsWith(u"Frame") ||
                     m_quiz->rect().contains(placed),
                 qPrintable(widget->objectName()));
    }
    const QList<const char*> topLine = {"Label2", "Label3", "Label4", "Label6", "Label5", "Label7"};
    for (qsizetype i = 0; i + 1 < topLine.size(); ++i)
        QVERIFY2(label(topLine[i])->geometry().right() < label(topLine[i + 1])->geometry().left(), topLine[i]);

    // The focus starts on the first answer; the focus chain runs as designed, and Tab leaves
    // the answers for the logo, Next and Home, then comes back to an answer.
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, 0));
    QStringList chain;
    QWidget* widget = option(m_quiz, 0);
    do {
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisibleTo(m_quiz))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != option(m_quiz, 0));
    QCOMPARE(chain, QStringList({u"Option1_0"_qs, u"Option1_1"_qs, u"Option1_2"_qs, u"Option1_3"_qs, u"Picture3"_qs,
                                 u"Nextbtn"_qs, u"home"_qs}));
    for (const QString& next : {u"Picture3"_qs, u"Nextbtn"_qs, u"home"_qs}) {
        QVERIFY(pressKey(Qt::Key_Tab));
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QVERIFY(pressKey(Qt::Key_Tab));
    QVERIFY(qobject_cast<AnswerButton*>(QApplication::focusWidget()));
}

void QuizScreenTest::layout_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("sizedToText");

    const QString screen = u"Quiz"_qs;
    QTest::newRow("Label2") << screen << QRect(75, 105, 840, 195) << true;
    QTest::newRow("Option1_0") << screen << QRect(120, 1230, 7020, 405) << false;
    QTest::newRow("Option1_1") << screen << QRect(120, 1750, 7020, 405) << false;
    QTest::newRow("Option1_2") << screen << QRect(120, 2270, 7020, 405) << false;
    QTest::newRow("Option1_3") << screen << QRect(120, 2790, 7020, 405) << false;
    QTest::newRow("Frame1") << screen << QRect(-90, 3285, 7455, 45) << false;
    QTest::newRow("Label3") << screen << QRect(1035, 105, 405, 195) << true;
    QTest::newRow("Frame2") << screen << QRect(-45, 360, 7410, 795) << false;
    QTest::newRow("Question") << u"Frame2"_qs << QRect(255, 165, 6810, 510) << false;
    QTest::newRow("Label4") << screen << QRect(2625, 105, 1080, 195) << true;
    QTest::newRow("Label5") << screen << QRect(4875, 105, 1245, 195) << true;
    QTest::newRow("Label6") << screen << QRect(3780, 120, 105, 195) << true;
    QTest::newRow("Label7") << screen << QRect(6210, 120, 105, 195) << true;
    QTest::newRow("Picture3") << screen << QRect(0, 3360, 3900, 585) << false;
    QTest::newRow("Nextbtn") << screen << QRect(5760, 3510, 1350, 330) << false;
    QTest::newRow("home") << screen << QRect(4395, 3510, 1350, 330) << false;
}

void QuizScreenTest::layout()
{
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(bool, sizedToText);
    QVERIFY(startQuiz(10));
    const QString mismatch =
        placementMismatch(m_quiz, QString::fromLatin1(QTest::currentDataTag()), container, twips, sizedToText);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void QuizScreenTest::loadState_data()
{
    QTest::addColumn<int>("count");
    for (int count : {2, 10, 30, 140})
        QTest::addRow("%d questions", count) << count;
}

void QuizScreenTest::loadState()
{
    QFETCH(int, count);
    QVERIFY(startQuiz(count));
    QCOMPARE(label("Label3")->text(), u"1/%1"_qs.arg(count));
    QCOMPARE(label("Label6")->text(), u"0"_qs);
    QCOMPARE(label("Label7")->text(), u"0"_qs);
    QCOMPARE(colours(), QList<QColor>(4, Black));
    QCOMPARE(selection(), QList<bool>(4, false));
    QCOMPARE(nextButton()->text(), u"Next"_qs);
    QVERIFY(nextButton()->isEnabled());
    QVERIFY(bankIndexShown(m_quiz) > 0);
    QVERIFY(newRows().isEmpty());
}

void QuizScreenTest::skippingTheFirstQuestion()
{
    QVERIFY(startQuiz(10));
    const int first = bankIndexShown(m_quiz);
    click(nextButton());

    QCOMPARE(label("Label3")->text(), u"2/10"_qs);
    QCOMPARE(label("Label6")->text(), u"0"_qs);
    QCOMPARE(label("Label7")->text(), u"0"_qs);
    QVERIFY(newRows().isEmpty());
    QVERIFY(bankIndexShown(m_quiz) > 0 && bankIndexShown(m_quiz) != first);
    QCOMPARE(nextButton()->text(), u"Next"_qs);
    QVERIFY(!nextButton()->isEnabled());
    click(nextButton());
    QCOMPARE(label("Label3")->text(), u"2/10"_qs);

    clickAnswer(m_quiz, pickAnswer(m_quiz, true));
    QVERIFY(nextButton()->isEnabled());
}

void QuizScreenTest::scoring_data()
{
    QTest::addColumn<int>("offset"); // chosen = right + offset, modulo 4: 0 is the right answer
    QTest::addColumn<bool>("laterQuestion");

    for (bool later : {false, true}) {
        const char* where = later ? "second question" : "first question";
        QTest::addRow("right, %s", where) << 0 << later;
        for (int offset = 1; offset < 4; ++offset)
            QTest::addRow("wrong by %d, %s", offset, where) << offset << later;
    }
}

void QuizScreenTest::scoring()
{
    QFETCH(int, offset);
    QFETCH(bool, laterQuestion);

    QVERIFY(startQuiz(10));
    if (laterQuestion)
        click(nextButton());
    const int right = rightIndexShown(m_quiz);
    QVERIFY(right >= 0);
    const int chosen = (right + offset) % 4;
    const bool isRight = offset == 0;
    clickAnswer(m_quiz, chosen);

    QList<QColor> expectedColours(4, Black);
    expectedColours[right] = Green;
    expectedColours[chosen] = isRight ? Green : Red;
    QCOMPARE(colours(), expectedColours);
    const QString rightCount = isRight ? u"1"_qs : u"0"_qs;
    const QString wrongCount = isRight ? u"0"_qs : u"1"_qs;
    QCOMPARE(label("Label6")->text(), rightCount);
    QCOMPARE(label("Label7")->text(), wrongCount);
    const QString rows = newRows();
    QVERIFY2(isAnswerRow(rows, questionShown(m_quiz), answerShown(m_quiz, right), answerShown(m_quiz, chosen), isRight),
             qPrintable(rows));
    QVERIFY(nextButton()->isEnabled());

    // Once answered, a click on any answer moves the selection, which is always one, and
    // changes nothing else.
    for (int k : {chosen, 0, 1, 2, 3, right}) {
        clickAnswer(m_quiz, k);
        QList<bool> expectedSelection(4, false);
        expectedSelection[k] = true;
        QCOMPARE(selection(), expectedSelection);
        QCOMPARE(colours(), expectedColours);
        QCOMPARE(label("Label6")->text(), rightCount);
        QCOMPARE(label("Label7")->text(), wrongCount);
        QCOMPARE(newRows(), rows);
    }
}

void QuizScreenTest::eachQuestionStartsBlackAndUnselected()
{
    QVERIFY(startQuiz(6));
    for (int question = 2; question <= 6; ++question) {
        clickAnswer(m_quiz, pickAnswer(m_quiz, question % 2 == 0));
        click(nextButton());
        QCOMPARE(label("Label3")->text(), u"%1/6"_qs.arg(question));
        QCOMPARE(colours(), QList<QColor>(4, Black));
        QCOMPARE(selection(), QList<bool>(4, false));
        QVERIFY(!option(m_quiz, 0)->group()->checkedButton());
    }
    // The cleared answers take a choice again, one at a time.
    clickAnswer(m_quiz, 2);
    QCOMPARE(selection(), QList<bool>({false, false, true, false}));
    clickAnswer(m_quiz, 0);
    QCOMPARE(selection(), QList<bool>({true, false, false, false}));
}

void QuizScreenTest::focusArrivingNeverSelects()
{
    QVERIFY(startQuiz(10));
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, 0));
    for (int i = 0; i < 4; ++i)
        option(m_quiz, i)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 8; ++i)
        QVERIFY(pressKey(Qt::Key_Tab));
    option(m_quiz, 0)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 8; ++i)
        QVERIFY(pressKey(Qt::Key_Down));
    QCOMPARE(selection(), QList<bool>(4, false));
    QCOMPARE(label("Label6")->text(), u"0"_qs);
    QCOMPARE(label("Label7")->text(), u"0"_qs);
}

void QuizScreenTest::arrowKeysMoveTheFocusOnly_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("answeredFirst");

    const QList<std::tuple<Qt::Key, int, const char*>> keys = {
        {Qt::Key_Down, 1, "Down"}, {Qt::Key_Right, 1, "Right"}, {Qt::Key_Up, -1, "Up"}, {Qt::Key_Left, -1, "Left"}};
    for (bool answered : {false, true}) {
        for (const auto& [key, step, name] : keys)
            QTest::addRow("%s, %s", name, answered ? "answered" : "unanswered") << key << step << answered;
    }
}

// The toolkit's own arrows would also select the answer they reach.
void QuizScreenTest::arrowKeysMoveTheFocusOnly()
{
    QFETCH(Qt::Key, key);
    QFETCH(int, step);
    QFETCH(bool, answeredFirst);

    QVERIFY(startQuiz(10));
    option(m_quiz, 1)->setFocus(Qt::TabFocusReason);
    if (answeredFirst)
        QVERIFY(pressKey(Qt::Key_2));
    const QList<bool> selected = selection();
    const QList<QColor> painted = colours();
    const QString rows = newRows();

    QVERIFY(pressKey(key));
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, 1 + step));
    QCOMPARE(selection(), selected);
    QCOMPARE(colours(), painted);
    QCOMPARE(newRows(), rows);
}

void QuizScreenTest::keysChooseAnAnswer_data()
{
    QTest::addColumn<QString>("focusOn");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("chosen");

    for (int i = 0; i < 4; ++i) {
        const QString answer = u"Option1_%1"_qs.arg(i);
        const auto digit = Qt::Key(Qt::Key_1 + i);
        QTest::addRow("Space on answer %d", i + 1) << answer << Qt::Key_Space << false << i;
        QTest::addRow("%d on the first answer", i + 1) << u"Option1_0"_qs << digit << false << i;
        QTest::addRow("%d on the keypad", i + 1) << u"Option1_2"_qs << digit << true << i;
        QTest::addRow("%d on Home", i + 1) << u"home"_qs << digit << false << i;
    }
}

void QuizScreenTest::keysChooseAnAnswer()
{
    QFETCH(QString, focusOn);
    QFETCH(Qt::Key, key);
    QFETCH(bool, keypad);
    QFETCH(int, chosen);

    QVERIFY(startQuiz(10));
    control(m_quiz, focusOn)->setFocus(Qt::TabFocusReason);
    const int right = rightIndexShown(m_quiz);
    QVERIFY(pressKey(key, keypad ? Qt::KeypadModifier : Qt::NoModifier));

    QList<bool> expected(4, false);
    expected[chosen] = true;
    QCOMPARE(selection(), expected);
    QCOMPARE(option(m_quiz, chosen)->textColour(), chosen == right ? Green : Red);
    QVERIFY(isAnswerRow(newRows(), questionShown(m_quiz), answerShown(m_quiz, right), answerShown(m_quiz, chosen),
                        chosen == right));
}

void QuizScreenTest::returnPressesNextWhenItCan()
{
    QVERIFY(startQuiz(3));
    // The first question may be passed over; later ones wait for an answer.
    QVERIFY(pressKey(Qt::Key_Return));
    QCOMPARE(label("Label3")->text(), u"2/3"_qs);
    QVERIFY(qobject_cast<AnswerButton*>(QApplication::focusWidget()));
    QVERIFY(pressKey(Qt::Key_Return));
    QCOMPARE(label("Label3")->text(), u"2/3"_qs);
    QVERIFY(pressKey(Qt::Key_3));
    QVERIFY(pressKey(Qt::Key_Enter, Qt::KeypadModifier));
    QCOMPARE(label("Label3")->text(), u"3/3"_qs);
    QVERIFY(pressKey(Qt::Key_Return));
    QVERIFY(m_rig->services.openedPages.isEmpty());
    QVERIFY(pressKey(Qt::Key_1));
    QVERIFY(pressKey(Qt::Key_Return));
    QCOMPARE(m_rig->services.openedPages.size(), 1);
}

void QuizScreenTest::resultAfterTheLastQuestion_data()
{
    QTest::addColumn<int>("count");
    for (int count : {2, 3, 140})
        QTest::addRow("%d questions", count) << count;
}

// The button turns to Result at question N of N, and only after that question is answered
// can it be pressed; a whole quiz never shows an entry twice.
void QuizScreenTest::resultAfterTheLastQuestion()
{
    QFETCH(int, count);
    QVERIFY(startQuiz(count));
    QSet<int> shown;
    for (int question = 1; question <= count; ++question) {
        QCOMPARE(label("Label3")->text(), u"%1/%2"_qs.arg(question).arg(count));
        const int slot = bankIndexShown(m_quiz);
        QVERIFY2(slot > 0 && !shown.contains(slot), "an entry came twice");
        shown.insert(slot);
        QCOMPARE(nextButton()->text(), question == count ? u"Result"_qs : u"Next"_qs);
        QCOMPARE(nextButton()->isEnabled(), question == 1);
        clickAnswer(m_quiz, pickAnswer(m_quiz, question % 3 != 0));
        QVERIFY(nextButton()->isEnabled());
        if (question < count)
            click(nextButton());
    }
    QCOMPARE(shown.size(), count);
    QCOMPARE(label("Label6")->text(), QString::number(count - count / 3));
    QCOMPARE(label("Label7")->text(), QString::number(count / 3));
    QCOMPARE(newRows().count(u"<tr>"), count);
    QVERIFY(m_rig->services.openedPages.isEmpty());
    QVERIFY(m_rig->writtenFiles().isEmpty());
    // The widest progress still leaves room for the caption beside it.
    QVERIFY(label("Label3")->geometry().right() < label("Label4")->geometry().left());
}

void QuizScreenTest::resultTwiceWritesTheSamePage()
{
    QVERIFY(startQuiz(2));
    clickAnswer(m_quiz, pickAnswer(m_quiz, true));
    click(nextButton());
    clickAnswer(m_quiz, pickAnswer(m_quiz, false));

    const QString pagePath = m_rig->programDir.filePath(u"Results.htm"_qs);
    const QString logoPath = m_rig->programDir.filePath(u"logo.f"_qs);
    const auto pageBytes = [&pagePath] {
        QFile page(pagePath);
        return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
    };
    click(nextButton());
    QCOMPARE(m_rig->services.openedPages, QStringList{pagePath});
    const QByteArray first = pageBytes();
    QCOMPARE(first.count("Total Correct Answer"), 1);
    QCOMPARE(first.count("</html>"), 1);
    QVERIFY(QFile::exists(logoPath));

    // The second press writes both files again, with the same page.
    QVERIFY(QFile::remove(pagePath) && QFile::remove(logoPath));
    QVERIFY(nextButton()->isEnabled());
    click(nextButton());
    QCOMPARE(m_rig->services.openedPages, QStringList({pagePath, pagePath}));
    QCOMPARE(pageBytes(), first);
    QVERIFY(QFile::exists(logoPath));
    QVERIFY(m_rig->services.messages.isEmpty());
    QCOMPARE(nextButton()->text(), u"Result"_qs);
    QVERIFY(m_quiz->isVisible());
}

void QuizScreenTest::resultThatCannotBeWrittenIsTold()
{
    // Both folders lie under a plain file, where no folder can be made, not even by root.
    const QString blocker = m_rig->programDir.filePath(u"blocker"_qs);
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    m_rig->services.useFolders(blocker + u"/program"_qs, blocker + u"/player"_qs);

    QVERIFY(startQuiz(2));
    for (int question = 1; question <= 2; ++question) {
        clickAnswer(m_quiz, 0);
        click(nextButton());
    }
    const FakeServices& services = m_rig->services;
    QVERIFY(services.openedPages.isEmpty());
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.messages[0].parent.data(), m_quiz.data());
    // The quiz stays, and the player may try again.
    QVERIFY(m_quiz->isVisible() && nextButton()->isEnabled());
    click(nextButton());
    QCOMPARE(services.messages.size(), 2);
    QCOMPARE(m_rig->writtenFiles(), QStringList{u"blocker"_qs});
}

void QuizScreenTest::accessibleNamesAndDescriptions_data()
{
    QTest::addColumn<bool>("answerRight");
    QTest::newRow("right answer") << true;
    QTest::newRow("wrong answer") << false;
}

void QuizScreenTest::accessibleNamesAndDescriptions()
{
    QFETCH(bool, answerRight);
    QVERIFY(startQuiz(10));
    for (const char* name : {"Picture3", "Nextbtn", "home", "Question", "Label3"})
        QVERIFY2(!accessibleText(control(m_quiz, QString::fromLatin1(name)), QAccessible::Name).isEmpty(), name);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(accessibleText(option(m_quiz, i), QAccessible::Name), answerShown(m_quiz, i));
    QCOMPARE(accessibleText(label("Label6"), QAccessible::Name), u"Correct answers: 0"_qs);
    QCOMPARE(accessibleText(label("Label7"), QAccessible::Name), u"Incorrect answers: 0"_qs);

    const int right = rightIndexShown(m_quiz);
    const int chosen = pickAnswer(m_quiz, answerRight);
    clickAnswer(m_quiz, chosen);
    QCOMPARE(accessibleText(label("Label6"), QAccessible::Name), u"Correct answers: %1"_qs.arg(answerRight ? 1 : 0));
    QCOMPARE(accessibleText(label("Label7"), QAccessible::Name), u"Incorrect answers: %1"_qs.arg(answerRight ? 0 : 1));
    for (int i = 0; i < 4; ++i) {
        const QString said = accessibleText(option(m_quiz, i), QAccessible::Description).toLower();
        const bool fits = i == chosen
                              ? said.contains(u"your answer") && said.contains(answerRight ? u"right" : u"wrong")
                          : i == right ? said.contains(u"right") && !said.contains(u"your")
                                       : said.isEmpty();
        QVERIFY2(fits, qPrintable(u"answer %1: '%2'"_qs.arg(i + 1).arg(said)));
    }
    click(nextButton());
    for (int i = 0; i < 4; ++i)
        QVERIFY(accessibleText(option(m_quiz, i), QAccessible::Description).isEmpty());
}

// Whatever "Tahoma" turns out to be here, every question shows whole within the two lines of
// its label and every answer within its button.
void QuizScreenTest::bankTextsFitTheirControls()
{
    qInfo("Tahoma resolves to %s", qPrintable(ScreenFonts::ResolvedTahomaFamily()));
    QVERIFY(startQuiz(2));
    QLabel* question = label("Question");
    const QRect room = question->contentsRect();
    const QFontMetrics questionMetrics(question->font());
    AnswerButton* answer = option(m_quiz, 0);
    const QFontMetrics answerMetrics(answer->font());
    const int mark = answer->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, answer) +
                     answer->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, answer);

    using Measured = std::pair<int, QString>;
    Measured tallest{0, {}};
    Measured widest{0, {}};
    for (int slot = 1; slot <= Questions::BankSize; ++slot) {
        const auto& entry = Questions::QuesBank[static_cast<std::size_t>(slot)];
        QVERIFY(entry);
        const QRect needed = questionMetrics.boundingRect(room, Qt::TextWordWrap, entry->question());
        QVERIFY2(needed.width() <= room.width(), qPrintable(entry->question()));
        tallest = std::max(tallest, Measured(needed.height(), entry->question()));
        for (int i = 0; i < 4; ++i)
            widest =
                std::max(widest, Measured(answerMetrics.horizontalAdvance(entry->answer(i)) + mark, entry->answer(i)));
    }
    qInfo("tallest question: %d of %d pixels: %s", tallest.first, room.height(), qPrintable(tallest.second));
    qInfo("widest answer: %d of %d pixels: %s", widest.first, answer->width(), qPrintable(widest.second));
    QVERIFY2(tallest.first <= room.height(), qPrintable(tallest.second));
    QVERIFY2(widest.first <= answer->width(), qPrintable(widest.second));
}

QTEST_MAIN(QuizScreenTest)
#include "quiz_screen_test.moc"
