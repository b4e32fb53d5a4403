// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the two screens the way a player does, by clicks on the named controls and keys sent to
// whatever holds the focus, over a recording desktop with two empty folders for the results.
#pragma once

#include "fake_services.h"
#include "quiz/answer_button.h"
#include "quiz/questions.h"
#include "quiz/quiz_screen.h"
#include "shell/screen_flow.h"
#include "shell/screen_fonts.h"
#include "shell/welcome_screen.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

struct ScreenRig
{
    ScreenRig()
    {
        ScreenFonts::InstallTahoma();
        QApplication::setQuitOnLastWindowClosed(false); // the tests close screens without ending the run
    }

    QStringList writtenFiles() const
    {
        const auto filter = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
        return QDir(programDir.path()).entryList(filter) + QDir(userDir.path()).entryList(filter);
    }

    QTemporaryDir programDir;
    QTemporaryDir userDir;
    FakeServices services{programDir.path(), userDir.path()};
    ScreenFlow flow{services};
};

namespace ScreenDriver {

// A missing control makes every later step meaningless.
template <class T = QWidget> T* control(const QWidget* screen, const QString& name)
{
    T* found = screen ? screen->findChild<T*>(name) : nullptr;
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

inline QString caption(const QWidget* screen, const QString& name)
{
    return control(screen, name)->property("text").toString();
}

inline AnswerButton* option(const QuizScreen* quiz, int index)
{
    return control<AnswerButton>(quiz, u"Option1_%1"_qs.arg(index));
}

inline QLineEdit* countBox(const WelcomeScreen* welcome)
{
    return control<QLineEdit>(welcome, u"Text1"_qs);
}

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

inline bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focused = QApplication::focusWidget();
    if (focused)
        QTest::keyClick(focused, key, modifiers);
    return focused != nullptr;
}

inline QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Clicks into the count box and types over whatever it holds.
inline void typeCount(WelcomeScreen* welcome, const QString& text)
{
    click(countBox(welcome));
    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_Backspace);
    QTest::keyClicks(countBox(welcome), text);
}

// A design table: one row per control, named by the row, with its container, its place and size
// in twips and its caption; an empty size stands for a caption sized to its text.
inline void addDesignColumns()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
}

// The control of the current row against the design, at twips / 15, showing all of its text.
inline void verifyDesign(const QWidget* screen)
{
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    const auto px = [](int t) { return qRound(t / 15.0); };
    const QRect want(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
    const QWidget* widget = control(screen, QTest::currentDataTag());
    const QString shown = widget->property("text").toString();
    QString found;
    if (!widget->isVisibleTo(screen) || widget->parentWidget()->objectName() != container)
        found += u" hidden or inside %1;"_qs.arg(widget->parentWidget()->objectName());
    if (widget->pos() != want.topLeft() || (!want.isEmpty() && widget->size() != want.size()))
        found += u" at %1,%2 %3x%4;"_qs.arg(widget->x()).arg(widget->y()).arg(widget->width()).arg(widget->height());
    if (want.isEmpty() && (widget->width() < widget->fontMetrics().horizontalAdvance(shown) ||
                           !widget->parentWidget()->rect().contains(widget->geometry())))
        found += u" text cut;"_qs;
    const auto* label = qobject_cast<const QLabel*>(widget);
    const QRect room = label ? label->contentsRect() : QRect();
    if (label && label->wordWrap() && !room.contains(label->fontMetrics().boundingRect(room, Qt::TextWordWrap, shown)))
        found += u" wrapped text cut;"_qs;
    if (!text.isEmpty() && shown != text)
        found += u" reads '%1';"_qs.arg(shown);
    QVERIFY2(found.isEmpty(), qPrintable(found));
}

inline QString accessibleText(QWidget* widget, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(which) : QString();
}

// Progress, right answers, wrong answers.
inline QStringList counters(const QuizScreen* quiz)
{
    return {caption(quiz, u"Label3"_qs), caption(quiz, u"Label6"_qs), caption(quiz, u"Label7"_qs)};
}

// An answer as the player reads it ("&&" draws one "&").
inline QString answerShown(const QuizScreen* quiz, int index)
{
    return option(quiz, index)->text().replace(u"&&"_qs, u"&"_qs);
}

// The bank slot whose question and answers are on screen; -1 when the screen shows none.
inline int bankIndexShown(const QuizScreen* quiz)
{
    QStringList shown{caption(quiz, u"Question"_qs)};
    for (int i = 0; i < 4; ++i)
        shown << answerShown(quiz, i);
    for (int slot = 1; slot <= Questions::BankSize; ++slot) {
        const auto& texts = Questions::QuesBank[std::size_t(slot)]->texts;
        if (QStringList(texts.begin(), texts.begin() + 5) == shown)
            return slot;
    }
    return -1;
}

// The index of an answer that is right, or wrong, for the question on screen; -1 if unknown.
inline int pickAnswer(const QuizScreen* quiz, bool right)
{
    const int slot = bankIndexShown(quiz);
    const int rightIndex = slot < 0 ? -1 : Questions::QuesBank[std::size_t(slot)]->rightAnswer() - 1;
    return right || slot < 0 ? rightIndex : (rightIndex + 1) % 4;
}

} // namespace ScreenDriver
