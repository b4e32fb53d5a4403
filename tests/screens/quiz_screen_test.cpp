// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_driver.h"
#include "screen_rig.h"
#include "shell/screen_fonts.h"

#include <QButtonGroup>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QTest>
#include <memory>

using namespace ScreenDriver;

namespace {

const QColor Black(0, 0, 0);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

QString withoutTags(QString html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    return html.remove(tag);
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
    static bool checkRow(const QString& row, const QString& question, const QString& right, const QString& chosen,
                         bool isRight);

    std::unique_ptr<ScreenRig> m_rig;
    QPointer<QuizScreen> m_quiz;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowAsDesigned();
    void layout_data();
    void layout();
    void everyControlFitsTheScreen();
    void focusOrder();

    void loadState_data();
    void loadState();
    void skippingTheFirstQuestion();
    void scoring_data();
    void scoring();
    void eachQuestionStartsBlackAndUnselected();
    void countersCountInWholeNumbers();

    void focusArrivingNeverSelects();
    void arrowKeysMoveTheFocusOnly_data();
    void arrowKeysMoveTheFocusOnly();
    void spaceSelectsTheFocusedAnswer_data();
    void spaceSelectsTheFocusedAnswer();
    void digitKeysSelectAnAnswer_data();
    void digitKeysSelectAnAnswer();
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
    if (!m_quiz || !QTest::qWaitForWindowActive(m_quiz))
        return nullptr;
    return m_quiz;
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

// One answer row: three cells holding the question, the right answer and the chosen one,
// every cell bold for a wrong answer and none for a right one.
bool QuizScreenTest::checkRow(const QString& row, const QString& question, const QString& right, const QString& chosen,
                              bool isRight)
{
    if (!row.startsWith(u"<tr>") || !row.endsWith(u"</tr>") || row.count(u"<tr>") != 1)
        return false;
    QStringList cells = row.split(u"<td"_qs);
    cells.removeFirst();
    if (cells.size() != 3)
        return false;
    const QStringList expected = {question, right, chosen};
    for (int i = 0; i < 3; ++i) {
        const QString cell = cells[i].mid(cells[i].indexOf(u'>') + 1);
        if (withoutTags(cell) != expected[i] || cell.contains(u"<b>") == isRight)
            return false;
    }
    return true;
}

void QuizScreenTest::windowAsDesigned()
{
    QVERIFY(startQuiz(30));
    QCOMPARE(m_quiz->windowTitle(), u"Tevrinic Quiz "_qs);
    QCOMPARE(m_quiz->size(), QSize(483, 265));
    QCOMPARE(m_quiz->geometry().topLeft(), QPoint(158, 119));
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, 0));
    QCOMPARE(label("Label2")->text(), u"Question :"_qs);
    QCOMPARE(label("Label4")->text(), u"Correct Ans :"_qs);
    QCOMPARE(label("Label5")->text(), u"Incorrect Ans :"_qs);
    QCOMPARE(button(m_quiz, u"home"_qs)->text(), u"Home"_qs);
}

void QuizScreenTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("sizedToText");

    const QString screen = u"Quiz"_qs;
    QTest::newRow("Label2") << u"Label2"_qs << screen << QRect(75, 105, 840, 195) << true;
    QTest::newRow("Option1(0)") << u"Option1_0"_qs << screen << QRect(120, 1230, 7020, 405) << false;
    QTest::newRow("Option1(1)") << u"Option1_1"_qs << screen << QRect(120, 1750, 7020, 405) << false;
    QTest::newRow("Option1(2)") << u"Option1_2"_qs << screen << QRect(120, 2270, 7020, 405) << false;
    QTest::newRow("Option1(3)") << u"Option1_3"_qs << screen << QRect(120, 2790, 7020, 405) << false;
    QTest::newRow("Frame1") << u"Frame1"_qs << screen << QRect(-90, 3285, 7455, 45) << false;
    QTest::newRow("Label3") << u"Label3"_qs << screen << QRect(1035, 105, 405, 195) << true;
    QTest::newRow("Frame2") << u"Frame2"_qs << screen << QRect(-45, 360, 7410, 795) << false;
    QTest::newRow("Question") << u"Question"_qs << u"Frame2"_qs << QRect(255, 165, 6810, 510) << false;
    QTest::newRow("Label4") << u"Label4"_qs << screen << QRect(2625, 105, 1080, 195) << true;
    QTest::newRow("Label5") << u"Label5"_qs << screen << QRect(4875, 105, 1245, 195) << true;
    QTest::newRow("Label6") << u"Label6"_qs << screen << QRect(3780, 120, 105, 195) << true;
    QTest::newRow("Label7") << u"Label7"_qs << screen << QRect(6210, 120, 105, 195) << true;
    QTest::newRow("Picture3") << u"Picture3"_qs << screen << QRect(0, 3360, 3900, 585) << false;
    QTest::newRow("Nextbtn") << u"Nextbtn"_qs << screen << QRect(5760, 3510, 1350, 330) << false;
    QTest::newRow("home") << u"home"_qs << screen << QRect(4395, 3510, 1350, 330) << false;
}

void QuizScreenTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(bool, sizedToText);

    QVERIFY(startQuiz(10));
    const auto px = [](int t) { return qRound(t / 15.0); };
    QWidget* widget = control(m_quiz, name);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->pos(), QPoint(px(twips.left()), px(twips.top())));
    if (sizedToText) {
        auto* shown = qobject_cast<QLabel*>(widget);
        QVERIFY(shown);
        QVERIFY(shown->width() >= shown->fontMetrics().horizontalAdvance(shown->text()));
    } else {
        QCOMPARE(widget->size(), QSize(px(twips.width()), px(twips.height())));
    }
}

// Nothing but the two rules reaches past the client area, and the top line reads left to
// right without one caption running into the next.
void QuizScreenTest::everyControlFitsTheScreen()
{
    QVERIFY(startQuiz(140));
    const QRect client(QPoint(0, 0), QSize(483, 265));
    for (QWidget* widget : m_quiz->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(m_quiz) || widget->objectName().startsWith(u"Frame"))
            continue;
        const QRect placed(widget->mapTo(m_quiz, QPoint(0, 0)), widget->size());
        QVERIFY2(client.contains(placed), qPrintable(widget->objectName()));
    }
    const QList<QLabel*> topLine = {label("Label2"), label("Label3"), label("Label4"),
                                    label("Label6"), label("Label5"), label("Label7")};
    for (qsizetype i = 0; i + 1 < topLine.size(); ++i)
        QVERIFY2(topLine[i]->geometry().right() < topLine[i + 1]->geometry().left(),
                 qPrintable(topLine[i]->objectName()));
}

void QuizScreenTest::focusOrder()
{
    QVERIFY(startQuiz(10));
    QStringList chain;
    QWidget* widget = option(m_quiz, 0);
    do {
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisibleTo(m_quiz))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget && widget != option(m_quiz, 0));
    const QStringList designed = {u"Option1_0"_qs, u"Option1_1"_qs, u"Option1_2"_qs, u"Option1_3"_qs,
                                  u"Picture3"_qs,  u"Nextbtn"_qs,   u"home"_qs};
    QCOMPARE(chain, designed);

    // Tab leaves the answers for the logo, Next and Home, then comes back to an answer.
    QVERIFY(pressKey(Qt::Key_Tab));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Picture3"_qs);
    QVERIFY(pressKey(Qt::Key_Tab));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Nextbtn"_qs);
    QVERIFY(pressKey(Qt::Key_Tab));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"home"_qs);
    QVERIFY(pressKey(Qt::Key_Tab));
    QVERIFY(qobject_cast<AnswerButton*>(QApplication::focusWidget()));
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
    QCOMPARE(m_quiz->report().tableText(), ResultsReport().tableText());
}

void QuizScreenTest::skippingTheFirstQuestion()
{
    QVERIFY(startQuiz(10));
    const int first = bankIndexShown(m_quiz);
    const QString table = m_quiz->report().tableText();
    click(nextButton());

    QCOMPARE(label("Label3")->text(), u"2/10"_qs);
    QCOMPARE(label("Label6")->text(), u"0"_qs);
    QCOMPARE(label("Label7")->text(), u"0"_qs);
    QCOMPARE(m_quiz->report().tableText(), table);
    const int second = bankIndexShown(m_quiz);
    QVERIFY(second > 0);
    QVERIFY(second != first);
    QCOMPARE(nextButton()->text(), u"Next"_qs);
    QVERIFY(!nextButton()->isEnabled());
    // Pressed while disabled, it does nothing.
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
    const QString before = m_quiz->report().tableText();

    clickAnswer(m_quiz, chosen);

    QList<QColor> expectedColours(4, Black);
    expectedColours[right] = Green;
    expectedColours[chosen] = isRight ? Green : Red;
    QList<bool> expectedSelection(4, false);
    expectedSelection[chosen] = true;
    QCOMPARE(colours(), expectedColours);
    QCOMPARE(selection(), expectedSelection);
    QCOMPARE(label("Label6")->text(), isRight ? u"1"_qs : u"0"_qs);
    QCOMPARE(label("Label7")->text(), isRight ? u"0"_qs : u"1"_qs);
    const QString table = m_quiz->report().tableText();
    QVERIFY(table.startsWith(before));
    QVERIFY2(checkRow(table.mid(before.size()), questionShown(m_quiz), answerShown(m_quiz, right),
                      answerShown(m_quiz, chosen), isRight),
             qPrintable(table.mid(before.size())));
    QVERIFY(nextButton()->isEnabled());

    // Once answered, a click on any answer moves the selection and nothing else.
    for (int k : {0, 1, 2, 3, chosen, right}) {
        clickAnswer(m_quiz, k);
        expectedSelection = QList<bool>(4, false);
        expectedSelection[k] = true;
        QCOMPARE(selection(), expectedSelection);
        QCOMPARE(colours(), expectedColours);
        QCOMPARE(label("Label6")->text(), isRight ? u"1"_qs : u"0"_qs);
        QCOMPARE(label("Label7")->text(), isRight ? u"0"_qs : u"1"_qs);
        QCOMPARE(m_quiz->report().tableText(), table);
        QVERIFY(nextButton()->isEnabled());
    }
}

void QuizScreenTest::eachQuestionStartsBlackAndUnselected()
{
    QVERIFY(startQuiz(6));
    for (int question = 1; question < 6; ++question) {
        clickAnswer(m_quiz, pickAnswer(m_quiz, question % 2 == 0));
        click(nextButton());
        QCOMPARE(label("Label3")->text(), u"%1/6"_qs.arg(question + 1));
        QCOMPARE(colours(), QList<QColor>(4, Black));
        QCOMPARE(selection(), QList<bool>(4, false));
        for (int i = 0; i < 4; ++i)
            QVERIFY(option(m_quiz, i)->group() && !option(m_quiz, i)->group()->checkedButton());
    }
    // The cleared answers still take a choice, and only one at a time.
    clickAnswer(m_quiz, 2);
    QCOMPARE(selection(), QList<bool>({false, false, true, false}));
    clickAnswer(m_quiz, 0);
    QCOMPARE(selection(), QList<bool>({true, false, false, false}));
}

void QuizScreenTest::countersCountInWholeNumbers()
{
    QVERIFY(startQuiz(20));
    for (int question = 1; question <= 15; ++question) {
        // Twelve right answers, then three wrong ones.
        clickAnswer(m_quiz, pickAnswer(m_quiz, question <= 12));
        click(nextButton());
    }
    QCOMPARE(label("Label6")->text(), u"12"_qs);
    QCOMPARE(label("Label7")->text(), u"3"_qs);
    QCOMPARE(m_quiz->report().tableText().count(u"<tr><td width=50%>"), 15);
}

void QuizScreenTest::focusArrivingNeverSelects()
{
    QVERIFY(startQuiz(10));
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, 0));
    QCOMPARE(selection(), QList<bool>(4, false));
    for (int i = 0; i < 4; ++i) {
        option(m_quiz, i)->setFocus(Qt::TabFocusReason);
        QCOMPARE(selection(), QList<bool>(4, false));
    }
    // Round the whole screen with Tab, and through the answers with the arrows.
    for (int i = 0; i < 8; ++i) {
        QVERIFY(pressKey(Qt::Key_Tab));
        QCOMPARE(selection(), QList<bool>(4, false));
    }
    option(m_quiz, 0)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 8; ++i) {
        QVERIFY(pressKey(Qt::Key_Down));
        QCOMPARE(selection(), QList<bool>(4, false));
    }
    QCOMPARE(label("Label6")->text(), u"0"_qs);
    QCOMPARE(label("Label7")->text(), u"0"_qs);
}

void QuizScreenTest::arrowKeysMoveTheFocusOnly_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("answeredFirst");

    const QList<std::tuple<Qt::Key, int, const char*>> keys = {
        {Qt::Key_Down, 1, "Down"}, {Qt::Key_Right, 1, "Right"}, {Qt::Key_Up, -1, "Up"}, {Qt::Key_Left, -1, "Left"}};
    for (bool answered : {false, true}) {
        for (const auto& [key, step, name] : keys)
            QTest::addRow("%s, %s", name, answered ? "answered" : "unanswered") << int(key) << step << answered;
    }
}

// The toolkit's arrows would also select the answer they reach.
void QuizScreenTest::arrowKeysMoveTheFocusOnly()
{
    QFETCH(int, key);
    QFETCH(int, step);
    QFETCH(bool, answeredFirst);

    QVERIFY(startQuiz(10));
    option(m_quiz, 1)->setFocus(Qt::TabFocusReason);
    if (answeredFirst)
        QVERIFY(pressKey(Qt::Key_2));
    const QList<bool> selected = selection();
    const QList<QColor> painted = colours();
    const QString table = m_quiz->report().tableText();
    const QString right = label("Label6")->text();
    const QString wrong = label("Label7")->text();

    QVERIFY(pressKey(Qt::Key(key)));
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, 1 + step));

    QCOMPARE(selection(), selected);
    QCOMPARE(colours(), painted);
    QCOMPARE(m_quiz->report().tableText(), table);
    QCOMPARE(label("Label6")->text(), right);
    QCOMPARE(label("Label7")->text(), wrong);
}

void QuizScreenTest::spaceSelectsTheFocusedAnswer_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 4; ++i)
        QTest::addRow("answer %d", i + 1) << i;
}

void QuizScreenTest::spaceSelectsTheFocusedAnswer()
{
    QFETCH(int, index);
    QVERIFY(startQuiz(10));
    for (int i = 0; i < index; ++i)
        QVERIFY(pressKey(Qt::Key_Down));
    QCOMPARE(QApplication::focusWidget(), option(m_quiz, index));
    QCOMPARE(selection(), QList<bool>(4, false));

    const int right = rightIndexShown(m_quiz);
    QVERIFY(pressKey(Qt::Key_Space));
    QList<bool> expected(4, false);
    expected[index] = true;
    QCOMPARE(selection(), expected);
    QCOMPARE(option(m_quiz, index)->textColour(), index == right ? Green : Red);
    QCOMPARE(label(index == right ? "Label6" : "Label7")->text(), u"1"_qs);
    QVERIFY(checkRow(m_quiz->report().tableText().mid(ResultsReport().tableText().size()), questionShown(m_quiz),
                     answerShown(m_quiz, right), answerShown(m_quiz, index), index == right));
}

void QuizScreenTest::digitKeysSelectAnAnswer_data()
{
    QTest::addColumn<int>("digit");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<QString>("focusOn");

    for (int digit = 1; digit <= 4; ++digit) {
        QTest::addRow("%d on the first answer", digit) << digit << false << u"Option1_0"_qs;
        QTest::addRow("%d on the keypad", digit) << digit << true << u"Option1_2"_qs;
        QTest::addRow("%d on Home", digit) << digit << false << u"home"_qs;
    }
}

void QuizScreenTest::digitKeysSelectAnAnswer()
{
    QFETCH(int, digit);
    QFETCH(bool, keypad);
    QFETCH(QString, focusOn);

    QVERIFY(startQuiz(10));
    control(m_quiz, focusOn)->setFocus(Qt::TabFocusReason);
    const int right = rightIndexShown(m_quiz);
    const int index = digit - 1;
    QVERIFY(pressKey(Qt::Key(Qt::Key_0 + digit), keypad ? Qt::KeypadModifier : Qt::NoModifier));

    QList<bool> expected(4, false);
    expected[index] = true;
    QCOMPARE(selection(), expected);
    QCOMPARE(option(m_quiz, index)->textColour(), index == right ? Green : Red);
    QVERIFY(checkRow(m_quiz->report().tableText().mid(ResultsReport().tableText().size()), questionShown(m_quiz),
                     answerShown(m_quiz, right), answerShown(m_quiz, index), index == right));
    // A second digit is a later choice: it moves the selection and scores nothing.
    QVERIFY(pressKey(Qt::Key(Qt::Key_0 + (digit % 4) + 1)));
    QCOMPARE(label("Label6")->text().toInt() + label("Label7")->text().toInt(), 1);
}

void QuizScreenTest::returnPressesNextWhenItCan()
{
    QVERIFY(startQuiz(3));
    // The first question may be passed over.
    QVERIFY(pressKey(Qt::Key_Return));
    QCOMPARE(label("Label3")->text(), u"2/3"_qs);
    // Later ones wait for an answer.
    QVERIFY(qobject_cast<AnswerButton*>(QApplication::focusWidget()));
    QVERIFY(pressKey(Qt::Key_Return));
    QCOMPARE(label("Label3")->text(), u"2/3"_qs);
    QVERIFY(pressKey(Qt::Key_3));
    QVERIFY(pressKey(Qt::Key_Enter, Qt::KeypadModifier));
    QCOMPARE(label("Label3")->text(), u"3/3"_qs);
    QCOMPARE(nextButton()->text(), u"Result"_qs);
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
        QVERIFY(slot > 0);
        QVERIFY2(!shown.contains(slot), "an entry came twice");
        shown.insert(slot);
        QCOMPARE(nextButton()->text(), question == count ? u"Result"_qs : u"Next"_qs);
        QCOMPARE(nextButton()->isEnabled(), question == 1);
        clickAnswer(m_quiz, pickAnswer(m_quiz, question % 3 != 0));
        QVERIFY(nextButton()->isEnabled());
        if (question < count)
            click(nextButton());
    }
    QCOMPARE(shown.size(), count);
    const int right = label("Label6")->text().toInt();
    const int wrong = label("Label7")->text().toInt();
    QCOMPARE(right + wrong, count);
    QCOMPARE(right, count - count / 3);
    QCOMPARE(m_quiz->report().tableText().count(u"<tr><td width=50%>"), count);
    QVERIFY(m_rig->services.openedPages.isEmpty());
    QVERIFY(m_rig->writtenFiles().isEmpty());
    // The widest progress still leaves room for the captions beside it.
    QVERIFY(label("Label3")->geometry().right() < label("Label4")->geometry().left());
}

void QuizScreenTest::resultTwiceWritesTheSamePage()
{
    QVERIFY(startQuiz(2));
    clickAnswer(m_quiz, pickAnswer(m_quiz, true));
    click(nextButton());
    clickAnswer(m_quiz, pickAnswer(m_quiz, false));
    QCOMPARE(nextButton()->text(), u"Result"_qs);

    const FakeServices& services = m_rig->services;
    const QString pagePath = m_rig->programDir.filePath(u"Results.htm"_qs);
    const QString logoPath = m_rig->programDir.filePath(u"logo.f"_qs);
    click(nextButton());
    QCOMPARE(services.openedPages, QStringList{pagePath});
    QFile page(pagePath);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray first = page.readAll();
    page.close();
    QVERIFY(QFile::exists(logoPath));
    QCOMPARE(first.count("Total Correct Answer"), 1);
    QCOMPARE(first.count("</html>"), 1);
    QVERIFY(first.contains(":1 </font>"));

    // The second press writes both files again, with the same page.
    QVERIFY(QFile::remove(pagePath));
    QVERIFY(QFile::remove(logoPath));
    QVERIFY(nextButton()->isEnabled());
    click(nextButton());
    QCOMPARE(services.openedPages, QStringList({pagePath, pagePath}));
    QVERIFY(page.open(QIODevice::ReadOnly));
    QCOMPARE(page.readAll(), first);
    QVERIFY(QFile::exists(logoPath));
    QVERIFY(services.messages.isEmpty());
    QCOMPARE(nextButton()->text(), u"Result"_qs);
    QVERIFY(m_quiz->isVisible());
}

void QuizScreenTest::resultThatCannotBeWrittenIsTold()
{
    // Both folders lie under a plain file, so that no folder can be made there, not even by root.
    const QString blocker = m_rig->programDir.filePath(u"blocker"_qs);
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    m_rig->services.useFolders(blocker + u"/program"_qs, blocker + u"/player"_qs);

    QVERIFY(startQuiz(2));
    clickAnswer(m_quiz, 0);
    click(nextButton());
    clickAnswer(m_quiz, 1);
    click(nextButton());

    const FakeServices& services = m_rig->services;
    QVERIFY(services.openedPages.isEmpty());
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.messages[0].parent.data(), m_quiz.data());
    QVERIFY(!services.messages[0].text.isEmpty());
    // The quiz stays, and the player may try again.
    QVERIFY(m_quiz->isVisible());
    QVERIFY(nextButton()->isEnabled());
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
    for (const char* name : {"Option1_0", "Option1_1", "Option1_2", "Option1_3", "Picture3", "Nextbtn", "home",
                             "Question", "Label3", "Label6", "Label7"}) {
        QVERIFY2(!accessibleText(control(m_quiz, QString::fromLatin1(name)), QAccessible::Name).isEmpty(), name);
    }
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
        if (i == chosen) {
            QVERIFY2(said.contains(u"your answer"), qPrintable(said));
            QVERIFY2(said.contains(answerRight ? u"right" : u"wrong"), qPrintable(said));
        } else if (i == right) {
            QVERIFY2(said.contains(u"right"), qPrintable(said));
            QVERIFY2(!said.contains(u"your"), qPrintable(said));
        } else {
            QVERIFY2(said.isEmpty(), qPrintable(said));
        }
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
    QVERIFY(questionMetrics.lineSpacing() * 2 <= room.height());

    AnswerButton* answer = option(m_quiz, 0);
    const QFontMetrics answerMetrics(answer->font());
    QStyle* style = answer->style();
    const int indicator = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, answer) +
                          style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, answer);

    QString longestQuestion;
    QString longestAnswer;
    int questionHeight = 0;
    int answerWidth = 0;
    for (int slot = 1; slot <= Questions::BankSize; ++slot) {
        const auto& entry = Questions::QuesBank[static_cast<std::size_t>(slot)];
        QVERIFY(entry);
        const QRect needed = questionMetrics.boundingRect(room, Qt::TextWordWrap, entry->question());
        if (needed.height() > questionHeight || longestQuestion.isEmpty()) {
            questionHeight = needed.height();
            longestQuestion = entry->question();
        }
        QVERIFY2(needed.width() <= room.width(), qPrintable(entry->question()));
        for (int i = 0; i < 4; ++i) {
            const int width = answerMetrics.horizontalAdvance(entry->answer(i)) + indicator;
            if (width > answerWidth) {
                answerWidth = width;
                longestAnswer = entry->answer(i);
            }
        }
    }
    qInfo("tallest question: %d of %d pixels: %s", questionHeight, room.height(), qPrintable(longestQuestion));
    qInfo("widest answer: %d of %d pixels: %s", answerWidth, answer->width(), qPrintable(longestAnswer));
    QVERIFY2(questionHeight <= room.height(), qPrintable(longestQuestion));
    QVERIFY2(answerWidth <= answer->width(), qPrintable(longestAnswer));
}

QTEST_MAIN(QuizScreenTest)
#include "quiz_screen_test.moc"
