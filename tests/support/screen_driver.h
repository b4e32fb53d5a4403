// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the two screens the way a player does: by clicks on the named controls and by keys
// sent to whatever holds the focus.
#pragma once

#include "quiz/answer_button.h"
#include "quiz/questions.h"
#include "quiz/quiz_screen.h"
#include "shell/screen_flow.h"
#include "shell/welcome_screen.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace ScreenDriver {

// A control by its design name. A missing control makes every later step meaningless.
template <class T = QWidget> T* control(const QWidget* screen, const QString& name)
{
    T* found = screen ? screen->findChild<T*>(name) : nullptr;
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

inline AnswerButton* option(const QuizScreen* quiz, int index)
{
    return control<AnswerButton>(quiz, QStringLiteral("Option1_%1").arg(index));
}

inline QString caption(const QWidget* screen, const QString& labelName)
{
    return control<QLabel>(screen, labelName)->text();
}

inline QPushButton* button(const QWidget* screen, const QString& name)
{
    return control<QPushButton>(screen, name);
}

// A left click in the middle of the control, delivered like one from the mouse.
inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

// A key pressed and released at the keyboard: it goes to the focused control.
inline bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused)
        return false;
    QTest::keyClick(focused, key, modifiers);
    return true;
}

inline bool typeText(const QString& text)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused)
        return false;
    QTest::keyClicks(focused, text);
    return true;
}

inline QLineEdit* countBox(const WelcomeScreen* welcome)
{
    return control<QLineEdit>(welcome, QStringLiteral("Text1"));
}

// Clicks into the count box and types over whatever it holds.
inline void typeCount(WelcomeScreen* welcome, const QString& text)
{
    QLineEdit* box = countBox(welcome);
    click(box);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        pressKey(Qt::Key_Backspace);
    else
        typeText(text);
}

// How a control differs from its design: its container, its place at twips / 15, and either its
// size or, for a caption sized to its text, room for the whole text. Empty when it matches.
inline QString placementMismatch(const QWidget* screen, const QString& name, const QString& container,
                                 const QRect& twips, bool sizedToText)
{
    const auto px = [](int t) { return qRound(t / 15.0); };
    const QWidget* widget = control(screen, name);
    const auto* label = qobject_cast<const QLabel*>(widget);
    QString found;
    if (!widget->isVisibleTo(screen))
        found += QStringLiteral(" hidden;");
    if (widget->parentWidget()->objectName() != container)
        found += QStringLiteral(" inside %1;").arg(widget->parentWidget()->objectName());
    if (widget->pos() != QPoint(px(twips.left()), px(twips.top())))
        found += QStringLiteral(" at %1,%2;").arg(widget->x()).arg(widget->y());
    if (sizedToText && (!label || label->width() < label->fontMetrics().horizontalAdvance(label->text())))
        found += QStringLiteral(" text cut;");
    if (!sizedToText && widget->size() != QSize(px(twips.width()), px(twips.height())))
        found += QStringLiteral(" %1 x %2;").arg(widget->width()).arg(widget->height());
    return found.isEmpty() ? QString() : name + found;
}

inline QString accessibleText(QWidget* widget, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(which) : QString();
}

// The answer texts as the player reads them ("&&" draws one "&").
inline QString answerShown(const QuizScreen* quiz, int index)
{
    return option(quiz, index)->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// A click on the answer's round mark: a radio button takes clicks on its mark and its text only.
inline void clickAnswer(const QuizScreen* quiz, int index)
{
    AnswerButton* answer = option(quiz, index);
    QStyleOptionButton look;
    look.initFrom(answer);
    const QRect mark = answer->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &look, answer);
    QTest::mouseClick(answer, Qt::LeftButton, Qt::NoModifier, mark.center());
}

inline QString questionShown(const QuizScreen* quiz)
{
    return caption(quiz, QStringLiteral("Question"));
}

// The bank entry on screen, found by its texts; -1 when the screen shows no entry of the bank.
inline int bankIndexShown(const QuizScreen* quiz)
{
    for (int slot = 1; slot <= Questions::BankSize; ++slot) {
        const auto& entry = Questions::QuesBank[static_cast<std::size_t>(slot)];
        if (!entry || entry->question() != questionShown(quiz))
            continue;
        bool same = true;
        for (int i = 0; i < 4; ++i)
            same = same && entry->answer(i) == answerShown(quiz, i);
        if (same)
            return slot;
    }
    return -1;
}

// The button index (0..3) of the right answer on screen, as the bank has it; -1 if unknown.
inline int rightIndexShown(const QuizScreen* quiz)
{
    const int slot = bankIndexShown(quiz);
    if (slot < 0)
        return -1;
    return Questions::QuesBank[static_cast<std::size_t>(slot)]->rightAnswer() - 1;
}

// The index of an answer that is right or wrong for the question on screen.
inline int pickAnswer(const QuizScreen* quiz, bool right)
{
    const int rightIndex = rightIndexShown(quiz);
    return right ? rightIndex : (rightIndex + 1) % 4;
}

} // namespace ScreenDriver
