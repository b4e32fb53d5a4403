// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/quiz_screen.h"

#include "core/quiz_session.h"
#include "core/random_source.h"
#include "core/results_store.h"
#include "screens/answer_button.h"
#include "screens/lined_label.h"
#include "screens/picture_box.h"
#include "screens/screen_accessibility.h"
#include "screens/screen_fonts.h"
#include "screens/screen_look.h"
#include "screens/screen_setup.h"
#include "screens/shell_services.h"
#include "screens/twips.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor Black(0, 0, 0);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

const QString NextCaption = QStringLiteral("Next");
const QString ResultCaption = QStringLiteral("Result");

// Phrases read out one after another, each ended by a full stop (answers may bring their own).
QString asSentences(const QStringList& phrases)
{
    QStringList sentences;
    for (const QString& phrase : phrases)
        sentences << (phrase.endsWith(u'.') ? phrase : phrase + u'.');
    return sentences.join(u' ');
}

// Where an answer stands among the four, as a reader says it: its number is the key that picks it.
QString position(int index)
{
    return QStringLiteral("%1 of 4").arg(index + 1);
}

} // namespace

QuizScreen::QuizScreen(ShellServices& services, ResultsStore store, RandomSourceFactory makeRandom)
    : m_services(services), m_store(std::move(store)), m_makeRandom(std::move(makeRandom))
{
    SetUpScreen(this, QStringLiteral("Quiz"), QStringLiteral("Tevrinic Quiz "), ScreenFonts::Tahoma(),
                QRect(Twips::Point(2370, 1785), Twips::Rect(0, 0, 7245, 3975).size()), [this] { buildControls(); });
}

QuizScreen::~QuizScreen() = default;

QLabel* QuizScreen::makeLabel(const char* name, const QString& text, int left, int top, const QColor& colour)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    ScreenFonts::UseBold(label);
    label->move(Twips::Point(left, top));
    if (colour.isValid())
        ScreenLook::SetTextColour(label, colour);
    label->adjustSize();
    return label;
}

void QuizScreen::buildControls()
{
    Label2 = makeLabel("Label2", QStringLiteral("Question :"), 75, 105, QColor(0, 0, 128));

    // The four answers lie in a container that draws nothing: to a screen reader it is the group
    // of the question's answers, named by the question.
    const int answersTop = 1230;
    m_answerGroup = new QWidget(this);
    m_answerGroup->setObjectName(QStringLiteral("Answers"));
    m_answerGroup->setGeometry(Twips::Rect(120, answersTop, 7020, 2790 + 405 - answersTop));
    ScreenAccessibility::MarkGroup(m_answerGroup);
    m_answers = new QButtonGroup(this);
    m_answers->setExclusive(true);
    const int answerTops[] = {1230, 1750, 2270, 2790};
    for (int i = 0; i < 4; ++i) {
        auto* option = new AnswerButton(m_answerGroup);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        ScreenFonts::UseBold(option);
        option->setGeometry(Twips::Rect(0, answerTops[i] - answersTop, 7020, 405));
        ScreenLook::SetTextColour(option, Black);
        option->setAccessibleDescription(position(i));
        option->installEventFilter(this);
        m_answers->addButton(option, i);
        Option1[static_cast<std::size_t>(i)] = option;
    }
    connect(m_answers, &QButtonGroup::idClicked, this, &QuizScreen::Option1_Click);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame1->setGeometry(Twips::Rect(-90, 3285, 7455, 45));
    ScreenAccessibility::MarkDecoration(Frame1);

    Label3 = makeLabel("Label3", QStringLiteral("1/10"), 1035, 105);

    Frame2 = new QFrame(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Frame2->setGeometry(Twips::Rect(-45, 360, 7410, 795));
    ScreenAccessibility::MarkDecoration(Frame2);

    // The question lies in the frame; it is the screen's own control, so that the frame stays
    // mere decoration to a screen reader.
    Question = new LinedLabel(ScreenFonts::TahomaLineHeight, this);
    Question->setObjectName(QStringLiteral("Question"));
    ScreenFonts::UseBold(Question);
    Question->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Question->setAutoFillBackground(true);
    Question->setGeometry(Twips::Rect(-45 + 255, 360 + 165, 6810, 510));

    Label4 = makeLabel("Label4", QStringLiteral("Correct Ans :"), 2625, 105, Green);
    Label5 = makeLabel("Label5", QStringLiteral("Incorrect Ans :"), 4875, 105, QColor(192, 0, 0));
    Label6 = makeLabel("Label6", QStringLiteral("0"), 3780, 120);
    Label7 = makeLabel("Label7", QStringLiteral("0"), 6210, 120);
    showCount(Label6, 0, QStringLiteral("Correct answers"));
    showCount(Label7, 0, QStringLiteral("Incorrect answers"));

    Picture3 = new PictureBox(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setGeometry(Twips::Rect(0, 3360, 3900, 585));
    Picture3->setPicture(LoadAssetPicture(QStringLiteral("logo.gif"), devicePixelRatioF()));
    Picture3->setAccessibleName(QStringLiteral("Tevrinic Quiz logo"));

    Nextbtn = new QPushButton(NextCaption, this);
    Nextbtn->setObjectName(QStringLiteral("Nextbtn"));
    Nextbtn->setGeometry(Twips::Rect(5760, 3510, 1350, 330));
    Nextbtn->setAutoDefault(false);
    // A click leaves the focus where it is, on the answer just picked, where the next question is
    // then announced: a focus passing through Next on its way to an answer is lost on readers.
    Nextbtn->setFocusPolicy(Qt::TabFocus);
    connect(Nextbtn, &QPushButton::clicked, this, &QuizScreen::Nextbtn_Click);

    home = new QPushButton(QStringLiteral("Home"), this);
    home->setObjectName(QStringLiteral("home"));
    home->setGeometry(Twips::Rect(4395, 3510, 1350, 330));
    home->setAutoDefault(false);
    connect(home, &QPushButton::clicked, this, &QuizScreen::home_Click);

    // The verdict is said aloud at the pick, by a notification that draws nothing and lies below
    // the screen's edge: a reader leaves unsaid what changes on an answer that keeps the focus.
    m_verdict = new QWidget(this);
    m_verdict->setObjectName(QStringLiteral("Verdict"));
    m_verdict->setGeometry(0, height(), width(), 1);
    m_verdict->hide();
    ScreenAccessibility::MarkNotification(m_verdict);

    // Focus order: the four answers, the logo, Next, Home.
    for (std::size_t i = 0; i + 1 < Option1.size(); ++i)
        setTabOrder(Option1[i], Option1[i + 1]);
    setTabOrder(Option1[3], Picture3);
    setTabOrder(Picture3, Nextbtn);
    setTabOrder(Nextbtn, home);
}

void QuizScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_session) {
        Form_Load();
        Option1[0]->setFocus(Qt::OtherFocusReason);
    }
}

void QuizScreen::Form_Load()
{
    m_random = m_makeRandom();
    m_session = std::make_unique<QuizSession>(TotQues, *m_random);
    m_session->start();
    ShowQuestion();
}

void QuizScreen::ShowQuestion()
{
    // A second press of whatever brought this question (a double click, a key struck twice) is
    // not the player's answer to it.
    m_echo.noteOpeningPress();
    const QuestionEntry& entry = m_session->question();
    const QString number = QStringLiteral("Question %1 of %2").arg(m_session->taken()).arg(TotQues);
    m_answerGroup->setAccessibleName(number + QStringLiteral(": ") + entry.question());
    announceQuestion();
    Question->setText(entry.question());
    for (int i = 0; i < 4; ++i)
        Option1[static_cast<std::size_t>(i)]->setAnswerText(entry.answer(i));
    ResetOptions(false);
    Label3->setText(QStringLiteral("%1/%2").arg(m_session->taken()).arg(TotQues));
    Label3->adjustSize();
    Label3->setAccessibleName(number);
}

void QuizScreen::announceQuestion()
{
    // Screen readers speak what receives the focus, with the group it enters, but stay silent for
    // an answer that keeps the focus from the last question. So, for the reader alone, the group
    // of the new question takes the focus, and the answer takes it back once the reader has had
    // time to speak the group. This comes before the rest of the screen changes, which the reader
    // has to go through first, and must not push the group out of its queue.
    auto* focused = qobject_cast<AnswerButton*>(focusWidget());
    if (!focused || !focused->hasFocus())
        return;
    QAccessibleEvent group(m_answerGroup, QAccessible::Focus);
    QAccessible::updateAccessibility(&group);
    QTimer::singleShot(300, focused, [focused] {
        if (!focused->hasFocus())
            return;
        QAccessibleEvent answer(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&answer);
    });
}

void QuizScreen::ResetOptions(bool value)
{
    // An exclusive group keeps one answer selected; lift that while clearing them all.
    m_answers->setExclusive(false);
    for (AnswerButton* option : Option1) {
        ScreenLook::SetTextColour(option, Black);
        option->setChecked(value);
    }
    m_answers->setExclusive(true);
}

void QuizScreen::showCount(QLabel* label, int count, const QString& spokenName)
{
    label->setText(QString::number(count));
    label->adjustSize();
    label->setAccessibleName(spokenName + QStringLiteral(": ") + QString::number(count));
}

void QuizScreen::Option1_Click(int Index)
{
    if (!m_session || Index < 0 || Index > 3)
        return;
    const QuizSession::Choice choice = m_session->choose(Index);
    if (!choice.scored)
        return;

    AnswerButton* chosen = Option1[static_cast<std::size_t>(Index)];
    AnswerButton* right = Option1[static_cast<std::size_t>(choice.rightIndex)];
    const QuestionEntry& entry = m_session->question();
    QStringList verdict{QStringLiteral("Your answer: right")};
    if (choice.right) {
        ScreenLook::SetTextColour(chosen, Green);
        showCount(Label6, m_session->rightCount(), QStringLiteral("Correct answers"));
    } else {
        ScreenLook::SetTextColour(chosen, Red);
        ScreenLook::SetTextColour(right, Green);
        verdict = {QStringLiteral("Your answer: wrong"),
                   QStringLiteral("The right answer: ") + entry.answer(choice.rightIndex)};
        showCount(Label7, m_session->wrongCount(), QStringLiteral("Incorrect answers"));
    }
    // A reader says the verdict and both counts at once. (Readers leave changes to the answer that
    // has the focus unsaid, and stumble over them: the answers keep their names and descriptions.)
    verdict << Label6->accessibleName() << Label7->accessibleName();
    m_verdict->hide();
    m_verdict->setAccessibleName(asSentences(verdict));
    m_verdict->show(); // which readers announce
    m_report.AddAnswerRow(entry.question(), entry.answer(choice.rightIndex), entry.answer(Index), choice.right);
    Nextbtn->setEnabled(true);
}

void QuizScreen::Nextbtn_Click()
{
    if (!m_session)
        return;
    if (Nextbtn->text() == NextCaption) {
        m_session->next();
        ShowQuestion();
        // The player goes on from an answer: the first one, unless the focus is on one already.
        // Next is about to be disabled.
        if (!qobject_cast<AnswerButton*>(focusWidget()))
            Option1[0]->setFocus(Qt::OtherFocusReason);
        Nextbtn->setEnabled(false);
        if (m_session->finished())
            Nextbtn->setText(ResultCaption);
        return;
    }

    if (m_logo.isEmpty()) {
        QFile logo(QStringLiteral(":/assets/logo.gif"));
        if (logo.open(QIODevice::ReadOnly))
            m_logo = logo.readAll();
    }
    const WriteOutcome outcome = m_report.WriteResultsPage(Label6->text(), Label7->text(), TotQues, m_logo, m_store);
    if (outcome.ok)
        m_services.openPage(outcome.pagePath);
    else
        m_services.showMessage(this, windowTitle().trimmed(), outcome.message());
}

void QuizScreen::home_Click()
{
    if (m_services.askYesNo(this, QStringLiteral("Confirm"),
                            QStringLiteral("Do you really want to quit current session")))
        Q_EMIT homeConfirmed();
}

bool QuizScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Only the answers are watched: an echo of the press that brought the question answers nothing.
    return m_echo.isEcho(event) || QWidget::eventFilter(watched, event);
}

void QuizScreen::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_4 && !(event->modifiers() & ~Qt::KeypadModifier)) {
        // The focus first, so that a reader says the answer before the verdict.
        AnswerButton* option = Option1[static_cast<std::size_t>(key - Qt::Key_1)];
        option->setFocus(Qt::ShortcutFocusReason);
        option->click();
        return;
    }
    // Enter presses a focused Next, Result or Home. On an answer it moves on once the question is
    // answered: only Next itself skips the first question.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QWidget* focused = focusWidget();
        if (focused == Nextbtn || focused == home)
            static_cast<QPushButton*>(focused)->click();
        else if (m_session && m_session->answered() && qobject_cast<AnswerButton*>(focused))
            Nextbtn->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
