// SPDX-License-Identifier: GPL-3.0-or-later
// The screens' lettering as players see it, judged from the real window's pixels: bold plainly
// bold, letters evenly spaced, wrapped lines apart, and every text whole in its place for every
// question of the bank. Run on Xvfb at the scales players use; where the platform draws no X
// window (Windows), only the fit is judged.
#include "core/questions.h"
#include "screen_rig.h"
#include "screens/answer_button.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <numeric>

namespace {

using Ink = QList<QList<double>>;

// How dark each pixel of a control's text is on the X server's screen, 0 to 1 against the paper.
Ink inkOf(QWidget* w)
{
    QRect area = w->rect(); // a button's text without its frame or mark
    QStyleOptionButton option;
    option.initFrom(w);
    if (qobject_cast<QRadioButton*>(w))
        area = w->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, w);
    if (auto* push = qobject_cast<QPushButton*>(w))
        area = QFontMetrics(w->font()).boundingRect(area, Qt::AlignCenter, push->text()).adjusted(-1, -1, 1, 1);
    QWidget* window = w->window();
    const qreal ratio = window->devicePixelRatioF();
    const QRectF shown(area.translated(w->mapTo(window, QPoint())).topLeft() * ratio, area.size() * ratio);
    const QImage image = window->screen()->grabWindow(window->winId()).toImage().copy(shown.toRect());
    int paper = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            paper = std::max(paper, qGray(image.pixel(x, y)));
    Ink ink(image.height(), QList<double>(image.width()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double dark = double(paper - qGray(image.pixel(x, y))) / paper;
            ink[y][x] = dark < 0.2 ? 0.0 : dark; // a button's shading is no ink
        }
    return ink;
}

bool inked(double dark)
{
    return dark > 0.5;
}

// The lines of text: the first and last row of each run of rows with ink.
QList<std::pair<int, int>> bands(const Ink& ink)
{
    QList<std::pair<int, int>> found;
    for (int y = 0; y < ink.size(); ++y)
        if (!std::any_of(ink[y].begin(), ink[y].end(), inked))
            continue;
        else if (!found.isEmpty() && found.last().second == y - 1)
            found.last().second = y;
        else
            found.append({y, y});
    return found;
}

// The average width of a stroke across a row: how heavy the letters are, whatever the text.
double weight(const Ink& ink)
{
    double total = 0;
    int strokes = 0;
    for (const QList<double>& row : ink)
        for (int x = 0; x < row.size(); ++x) {
            total += row[x];
            strokes += inked(row[x]) && !(x && inked(row[x - 1]));
        }
    return total / strokes;
}

// The runs of blank columns at least `wide` pixels wide between letters, in all lines.
int gaps(const Ink& ink, int wide)
{
    int found = 0;
    for (const auto& [top, bottom] : bands(ink)) {
        for (int x = 0, run = 0, letters = 0; x < ink[top].size(); ++x) {
            const bool blank = std::none_of(ink.begin() + top, ink.begin() + bottom + 1,
                                            [x](const QList<double>& row) { return inked(row[x]); });
            found += !blank && letters && run >= wide;
            letters += !blank;
            run = blank ? run + 1 : 0;
        }
    }
    return found;
}

} // namespace

class LetteringTest : public QObject
{
    Q_OBJECT

    std::optional<ScreenRig> m_rig;

    // A quiz that shows the given bank entries first.
    bool startQuiz(const QList<int>& draws)
    {
        m_rig->desk.draws = draws;
        return m_rig->startQuiz(QString::number(std::max(2, int(draws.size()))));
    }

private Q_SLOTS:
    void init()
    {
        m_rig.emplace();
        QVERIFY(QTest::qWaitForWindowExposed(m_rig->flow.Welcome));
    }
    void cleanup() { m_rig.reset(); }

    void lettering_data()
    {
        QTest::addColumn<int>("draw"); // the bank entry shown on the quiz screen; 0: the welcome screen
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("check"); // bold, spaced or lines
        // The longest question, and the longest answer and its place.
        Questions::LoadQuestions();
        const auto entry = [](int i) { return *Questions::QuesBank[static_cast<std::size_t>(i)]; };
        int question = 1, answered = 1, answer = 0;
        for (int i = 1; i <= Questions::BankSize; ++i)
            for (int a = 0; a < 4; ++a) {
                question = entry(i).question().size() > entry(question).question().size() ? i : question;
                if (entry(i).answer(a).size() > entry(answered).answer(answer).size())
                    std::tie(answered, answer) = std::tuple(i, a);
            }
        const QString option = u"Option1_%1"_qs.arg(answer);
        QTest::newRow("question bold") << question << u"Question"_qs << u"bold"_qs;
        QTest::newRow("answer bold") << answered << option << u"bold"_qs;
        QTest::newRow("top line bold") << question << u"Label2"_qs << u"bold"_qs;
        QTest::newRow("question spaced") << question << u"Question"_qs << u"spaced"_qs;
        QTest::newRow("answer spaced") << answered << option << u"spaced"_qs;
        QTest::newRow("contact spaced") << 0 << u"Label2"_qs << u"spaced"_qs;
        QTest::newRow("question lines") << question << u"Question"_qs << u"lines"_qs;
        QTest::newRow("contact lines") << 0 << u"Label2"_qs << u"lines"_qs;
    }
    void lettering()
    {
        QFETCH(int, draw);
        QFETCH(QString, control);
        QFETCH(QString, check);
        if (QGuiApplication::platformName() != u"xcb"_qs)
            QSKIP("judged on an X display");
        if (draw)
            QVERIFY(startQuiz({draw}));
        QWidget* screen = draw ? static_cast<QWidget*>(m_rig->flow.Quiz) : m_rig->flow.Welcome;
        QWidget* w = find(screen, control);
        QTest::qWait(200); // the window's first paint reaches the server
        const Ink ink = inkOf(w);
        const qreal ratio = screen->devicePixelRatioF();
        if (check == u"bold") { // heavier than the regular caption of Home beside it
            const double regular = weight(inkOf(find(screen, u"home"_qs)));
            QVERIFY2(weight(ink) >= 1.4 * regular, qPrintable(u"%1 %2"_qs.arg(weight(ink)).arg(regular)));
        }
        if (check == u"spaced") { // only the spaces between words are as wide as a space
            const int space = int(QFontMetricsF(w->font()).horizontalAdvance(u' ') * ratio);
            QCOMPARE(gaps(ink, space), w->property("text").toString().count(u' ') - (bands(ink).size() - 1));
        }
        if (check == u"lines") { // two lines a line's height apart, not touching
            const QList<std::pair<int, int>> lines = bands(ink);
            QCOMPARE(lines.size(), 2);
            const int apart = lines[1].first - lines[0].first;
            QVERIFY2(std::abs(apart - ScreenFonts::TahomaLineHeight * ratio) <= 0.5,
                     qPrintable(QString::number(apart)));
        }
    }
    // Every text shows whole and nothing overlaps, for every question of the bank.
    void textsFit()
    {
        const auto fits = [](const QLabel* label) {
            return label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                     : label->sizeHint().width() <= label->width();
        };
        QWidget* welcome = m_rig->flow.Welcome;
        const auto right = [&](const char* name) {
            QWidget* w = find(welcome, QString::fromLatin1(name));
            return w->mapTo(welcome, QPoint(w->width(), 0)).x();
        };
        QVERIFY(right("Label4") <= find(welcome, u"Text1"_qs)->x());
        QVERIFY(fits(find<QLabel>(welcome, u"Label2"_qs)));
        for (const char* name : {"Label3", "About2", "Label5"})
            QVERIFY2(right(name) <= right("Start"), name);

        QList<int> all(Questions::BankSize);
        std::iota(all.begin(), all.end(), 1);
        QVERIFY(startQuiz(all));
        QuizScreen* quiz = m_rig->flow.Quiz;
        auto* question = find<QLabel>(quiz, u"Question"_qs);
        for (int taken = 1; taken <= Questions::BankSize; ++taken) {
            QVERIFY2(fits(question), qPrintable(question->text()));
            for (int i = 0; i < 4; ++i) {
                auto* option = find<AnswerButton>(quiz, u"Option1_%1"_qs.arg(i));
                QVERIFY2(option->sizeHint().width() <= option->width(), qPrintable(option->text()));
            }
            click(find(quiz, u"Option1_0"_qs));
            click(find(quiz, u"Nextbtn"_qs));
        }
        int edge = 0; // the top line, left to right, with the largest counts it can show
        find<QLabel>(quiz, u"Label6"_qs)->setText(u"140"_qs);
        find<QLabel>(quiz, u"Label7"_qs)->setText(u"140"_qs);
        for (const char* name : {"Label2", "Label3", "Label4", "Label6", "Label5", "Label7"}) {
            const QLabel* label = find<QLabel>(quiz, QString::fromLatin1(name));
            QVERIFY2(label->x() >= edge, name);
            edge = label->x() + label->sizeHint().width();
        }
        QVERIFY(edge <= quiz->width());
    }
};

QTEST_MAIN(LetteringTest)
#include "lettering_test.moc"
