// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_driver.h"
#include "shell/picture_box.h"

#include <QButtonGroup>
#include <QFile>
#include <QSet>
#include <QStyle>
#include <memory>

using namespace ScreenDriver;

namespace {

const QColor Black(0, 0, 0);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

} // namespace

class QuizScreenTest : public QObject
{
    Q_OBJECT

    QuizScreen* startQuiz(int count)
    {
        m_rig->flow.ShowWelcome();
        m_rig->flow.StartQuiz(static_cast<qint16>(count));
        m_quiz = m_rig->flow.Quiz;
        return m_quiz && QTest::qWaitForWindowActive(m_quiz) ? m_quiz.data() : nullptr;
    }
    QString label(const char* name) const { return caption(m_quiz, QString::fromLatin1(name)); }
    QString spoken(const char* name) const { return accessibleText(control(m_quiz, name), QAccessible::Name); }
    QPushButton* next() const { return control<QPushButton>(m_quiz, u"Nextbtn"_qs); }
    template <class F> auto perAnswer(F f) const
    {
        QList<decltype(f(nullptr))> result;
        for (int i = 0; i < 4; ++i)
            result << f(option(m_quiz, i));
        return result;
    }
    QList<QColor> colours() const
    {
        return perAnswer([](AnswerButton* a) { return a->textColour(); });
    }
    QList<bool> selection() const
    {
        return perAnswer([](AnswerButton* a) { return a->isChecked(); });
    }
    QStringList descriptions() const
    {
        return perAnswer([](AnswerButton* a) { return accessibleText(a, QAccessible::Description); });
    }
    QString newRows() const { return m_quiz->report().tableText().mid(ResultsReport().tableText().size()); }
    // The page's row for answer `chosen` to the question on screen; the report tests fix its bytes.
    QString rowFor(int chosen) const
    {
        const int right = pickAnswer(m_quiz, true);
        ResultsReport report;
        const qsizetype before = report.tableText().size();
        report.AddAnswerRow(label("Question"), answerShown(m_quiz, right), answerShown(m_quiz, chosen),
                            chosen == right);
        return report.tableText().mid(before);
    }

    std::unique_ptr<ScreenRig> m_rig;
    QPointer<QuizScreen> m_quiz;

private Q_SLOTS:
    void init() { m_rig = std::make_unique<ScreenRig>(); }
    void cleanup() { m_rig.reset(); }

    void design_data()
    {
        addDesignColumns();

        const QString screen = u"Quiz"_qs;
        QTest::newRow("Label2") << screen << QRect(75, 105, 0, 0) << u"Question :"_qs;
        for (int i = 0; i < 4; ++i)
            QTest::addRow("Option1_%d", i) << screen << QRect(120, 1230 + 520 * i, 7020, 405) << QString();
        QTest::newRow("Frame1") << screen << QRect(-90, 3285, 7455, 45) << QString();
        QTest::newRow("Label3") << screen << QRect(1035, 105, 0, 0) << u"1/10"_qs;
        QTest::newRow("Frame2") << screen << QRect(-45, 360, 7410, 795) << QString();
        QTest::newRow("Question") << u"Frame2"_qs << QRect(255, 165, 6810, 510) << QString();
        QTest::newRow("Label4") << screen << QRect(2625, 105, 0, 0) << u"Correct Ans :"_qs;
        QTest::newRow("Label5") << screen << QRect(4875, 105, 0, 0) << u"Incorrect Ans :"_qs;
        QTest::newRow("Label6") << screen << QRect(3780, 120, 0, 0) << u"0"_qs;
        QTest::newRow("Label7") << screen << QRect(6210, 120, 0, 0) << u"0"_qs;
        QTest::newRow("Picture3") << screen << QRect(0, 3360, 3900, 585) << QString();
        QTest::newRow("Nextbtn") << screen << QRect(5760, 3510, 1350, 330) << u"Next"_qs;
        QTest::newRow("home") << screen << QRect(4395, 3510, 1350, 330) << u"Home"_qs;
    }

    void design()
    {
        QVERIFY(startQuiz(10));
        verifyDesign(m_quiz);
    }

    void opening()
    {
        QVERIFY(startQuiz(140));
        QCOMPARE(m_quiz->windowTitle(), u"Tevrinic Quiz "_qs);
        QCOMPARE(m_quiz->geometry(), QRect(158, 119, 483, 265));
        QCOMPARE(control<PictureBox>(m_quiz, u"Picture3"_qs)->picture().deviceIndependentSize(), QSizeF(260, 39));
        QCOMPARE(counters(m_quiz), QStringList({u"1/140"_qs, u"0"_qs, u"0"_qs}));
        QCOMPARE(colours(), QList<QColor>(4, Black));
        QCOMPARE(selection(), QList<bool>(4, false));
        QVERIFY(next()->isEnabled() && next()->text() == u"Next");
        QVERIFY(bankIndexShown(m_quiz) > 0 && newRows().isEmpty());
        for (const char* name : {"Picture3", "Nextbtn", "home", "Question", "Label3"})
            QVERIFY2(!spoken(name).isEmpty(), name);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(accessibleText(option(m_quiz, i), QAccessible::Name), answerShown(m_quiz, i));

        // From the first answer, Tab leaves the answers for the logo, Next and Home, then comes back.
        QCOMPARE(focusName(), u"Option1_0"_qs);
        for (const QString& name : {u"Picture3"_qs, u"Nextbtn"_qs, u"home"_qs}) {
            QVERIFY(pressKey(Qt::Key_Tab));
            QCOMPARE(focusName(), name);
        }
        QVERIFY(pressKey(Qt::Key_Tab));
        QVERIFY(focusName().startsWith(u"Option1_"));

        // Arrow keys move the focus and select nothing, before the question is answered and after;
        // the toolkit's own arrows would also select the answer they reach.
        const QList<std::pair<Qt::Key, int>> arrows = {{Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Right, 2},
                                                       {Qt::Key_Left, 1}, {Qt::Key_Up, 0}, {Qt::Key_Down, 1}};
        option(m_quiz, 1)->setFocus(Qt::TabFocusReason);
        for (bool answered : {false, true}) {
            const QList<bool> selected = selection();
            const QList<QColor> painted = colours();
            const QString rows = newRows();
            for (const auto& [key, focused] : arrows) {
                QVERIFY(pressKey(key));
                QCOMPARE(QApplication::focusWidget(), option(m_quiz, focused));
                QCOMPARE(selection(), selected);
                QCOMPARE(colours(), painted);
                QCOMPARE(newRows(), rows);
            }
            QCOMPARE(selection().count(true), answered ? 1 : 0);
            QVERIFY(pressKey(Qt::Key_2));
        }
    }

    // The first question may be passed over, by Next or by Return on an answer; later ones wait
    // for an answer, and so does Result.
    void skippingTheFirstQuestionAndReturn()
    {
        QVERIFY(startQuiz(3));
        const int first = bankIndexShown(m_quiz);
        QVERIFY(pressKey(Qt::Key_Return));
        QCOMPARE(counters(m_quiz), QStringList({u"2/3"_qs, u"0"_qs, u"0"_qs}));
        QVERIFY(newRows().isEmpty());
        QVERIFY(bankIndexShown(m_quiz) > 0 && bankIndexShown(m_quiz) != first);
        QVERIFY(focusName().startsWith(u"Option1_"));
        QVERIFY(!next()->isEnabled());
        QVERIFY(pressKey(Qt::Key_Return));
        click(next());
        QCOMPARE(label("Label3"), u"2/3"_qs);
        QVERIFY(pressKey(Qt::Key_3));
        QVERIFY(pressKey(Qt::Key_Enter, Qt::KeypadModifier));
        QCOMPARE(label("Label3"), u"3/3"_qs);
        QVERIFY(pressKey(Qt::Key_Return));
        QVERIFY(m_rig->services.openedPages.isEmpty());
        QVERIFY(pressKey(Qt::Key_1));
        QVERIFY(pressKey(Qt::Key_Return));
        QCOMPARE(m_rig->services.openedPages.size(), 1);
    }

    void scoring_data()
    {
        QTest::addColumn<int>("offset"); // chosen = right + offset, modulo 4: 0 is the right answer
        QTest::addColumn<QString>("way");

        for (int offset = 0; offset < 4; ++offset) {
            for (const char* way : {"click", "click on question 2", "Space on the answer", "digit on Option1_0",
                                    "keypad digit on Option1_2", "digit on home"})
                QTest::addRow("right + %d, %s", offset, way) << offset << QString::fromLatin1(way);
        }
    }

    // Colours, counters, their spoken names, the answers' descriptions and the page's row; later
    // clicks move the selection, always one, and change nothing else.
    void scoring()
    {
        QFETCH(int, offset);
        QFETCH(QString, way);

        QVERIFY(startQuiz(10));
        if (way.endsWith(u"question 2"))
            click(next());
        const int right = pickAnswer(m_quiz, true);
        QVERIFY(right >= 0);
        const int chosen = (right + offset) % 4;
        const QString row = rowFor(chosen);
        if (way.startsWith(u"click")) {
            click(option(m_quiz, chosen));
        } else {
            control(m_quiz, way.endsWith(u"answer") ? option(m_quiz, chosen)->objectName() : way.section(u' ', -1))
                ->setFocus(Qt::TabFocusReason);
            QVERIFY(pressKey(way.startsWith(u"Space") ? Qt::Key_Space : Qt::Key(Qt::Key_1 + chosen),
                             way.startsWith(u"keypad") ? Qt::KeypadModifier : Qt::NoModifier));
        }

        QList<QColor> painted(4, Black);
        QStringList described(4);
        painted[right] = Green;
        described[right] = u"The right answer"_qs;
        painted[chosen] = offset == 0 ? Green : Red;
        described[chosen] = offset == 0 ? u"Your answer: right"_qs : u"Your answer: wrong"_qs;
        const QStringList counts = {u"Correct answers: %1"_qs.arg(int(offset == 0)),
                                    u"Incorrect answers: %1"_qs.arg(int(offset != 0))};
        QVERIFY(next()->isEnabled());
        for (int k : {-1, chosen, 0, 1, 2, 3, right}) {
            if (k >= 0)
                click(option(m_quiz, k));
            QList<bool> selected(4, false);
            selected[k < 0 ? chosen : k] = true;
            QCOMPARE(selection(), selected);
            QCOMPARE(colours(), painted);
            QCOMPARE(descriptions(), described);
            QCOMPARE(QStringList({spoken("Label6"), spoken("Label7")}), counts);
            QCOMPARE(label("Label6") + label("Label7"), offset == 0 ? u"10"_qs : u"01"_qs);
            QCOMPARE(newRows(), row);
        }
    }

    void resultAfterTheLastQuestion_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("2 questions") << 2;
        QTest::newRow("140 questions") << 140;
    }

    // Next turns to Result at question N of N, to be pressed once that question is answered.
    void resultAfterTheLastQuestion()
    {
        QFETCH(int, count);
        QVERIFY(startQuiz(count));
        QSet<int> shown;
        for (int question = 1; question <= count; ++question) {
            QCOMPARE(label("Label3"), u"%1/%2"_qs.arg(question).arg(count));
            const int slot = bankIndexShown(m_quiz);
            QVERIFY2(slot > 0 && !shown.contains(slot), "an entry came twice");
            shown.insert(slot);
            QCOMPARE(next()->text(), question == count ? u"Result"_qs : u"Next"_qs);
            QCOMPARE(next()->isEnabled(), question == 1);
            QCOMPARE(colours(), QList<QColor>(4, Black));
            QCOMPARE(selection(), QList<bool>(4, false));
            QCOMPARE(descriptions(), QStringList(4));
            QVERIFY(!option(m_quiz, 0)->group()->checkedButton());
            click(option(m_quiz, pickAnswer(m_quiz, question % 3 != 0)));
            QVERIFY(next()->isEnabled());
            if (question < count)
                click(next());
        }
        QCOMPARE(label("Label6"), QString::number(count - count / 3));
        QCOMPARE(label("Label7"), QString::number(count / 3));
        QCOMPARE(newRows().count(u"<tr>"), count);
        QVERIFY(m_rig->services.openedPages.isEmpty() && m_rig->writtenFiles().isEmpty());
        // The widest progress still leaves room for the caption beside it.
        QVERIFY(control(m_quiz, u"Label3"_qs)->geometry().right() < control(m_quiz, u"Label4"_qs)->x());
    }

    // Each press writes both files again, the same page with its totals once, and opens it.
    void resultTwiceWritesTheSamePage()
    {
        QVERIFY(startQuiz(2));
        click(option(m_quiz, pickAnswer(m_quiz, true)));
        click(next());
        click(option(m_quiz, pickAnswer(m_quiz, false)));

        const QString pagePath = m_rig->programDir.filePath(u"Results.htm"_qs);
        const QString logoPath = m_rig->programDir.filePath(u"logo.f"_qs);
        const auto page = [&pagePath] {
            QFile file(pagePath);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        click(next());
        const QByteArray first = page();
        QCOMPARE(first.count("Total Correct Answer"), 1);
        QCOMPARE(first.count("</html>"), 1);
        QVERIFY(QFile::remove(pagePath) && QFile::remove(logoPath));
        click(next());
        QCOMPARE(m_rig->services.openedPages, QStringList({pagePath, pagePath}));
        QCOMPARE(page(), first);
        QVERIFY(QFile::exists(logoPath));
        QVERIFY(m_rig->services.messages.isEmpty());
        QVERIFY(m_quiz->isVisible() && next()->text() == u"Result");
    }

    void resultThatCannotBeWrittenIsTold()
    {
        // Both folders lie under a plain file, where no folder can be made, not even by root.
        const QString blocker = m_rig->programDir.filePath(u"blocker"_qs);
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        m_rig->services.useFolders(blocker + u"/program"_qs, blocker + u"/player"_qs);
        QVERIFY(startQuiz(2));
        for (int question = 1; question <= 2; ++question) {
            click(option(m_quiz, 0));
            click(next());
        }
        QVERIFY(m_rig->services.openedPages.isEmpty());
        QCOMPARE(m_rig->services.messages.size(), 1);
        QCOMPARE(m_rig->services.messages[0].parent.data(), m_quiz.data());
        // The quiz stays, and the player may try again.
        QVERIFY(m_quiz->isVisible() && next()->isEnabled());
        click(next());
        QCOMPARE(m_rig->services.messages.size(), 2);
        QCOMPARE(m_rig->writtenFiles(), QStringList{u"blocker"_qs});
    }

    // Whatever "Tahoma" resolves to here, every question shows whole in the two lines of its label
    // and every answer within its button.
    void bankTextsFitTheirControls()
    {
        qInfo("Tahoma resolves to %s", qPrintable(ScreenFonts::ResolvedTahomaFamily()));
        QVERIFY(startQuiz(2));
        auto* question = control<QLabel>(m_quiz, u"Question"_qs);
        const QRect room = question->contentsRect();
        AnswerButton* answer = option(m_quiz, 0);
        const int mark = answer->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, answer) +
                         answer->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, answer);
        for (int slot = 1; slot <= Questions::BankSize; ++slot) {
            const QuestionEntry& entry = *Questions::QuesBank[std::size_t(slot)];
            const QRect needed = question->fontMetrics().boundingRect(room, Qt::TextWordWrap, entry.question());
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(), qPrintable(entry.question()));
            for (int i = 0; i < 4; ++i)
                QVERIFY2(answer->fontMetrics().horizontalAdvance(entry.answer(i)) + mark <= answer->width(),
                         qPrintable(entry.answer(i)));
        }
    }
};

QTEST_MAIN(QuizScreenTest)
#include "quiz_screen_test.moc"
