// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/answer_button.h"

#include <QButtonGroup>
#include <QKeyEvent>

void AnswerButton::setAnswerText(const QString& text)
{
    // Readers are told the text without the doubled "&", as the toolkit strips accelerators.
    QString shown = text;
    setText(shown.replace(u'&', QStringLiteral("&&")));
}

void AnswerButton::keyPressEvent(QKeyEvent* event)
{
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        QRadioButton::keyPressEvent(event);
        return;
    }
    // The toolkit's own arrow handling would also select the answer it moves to.
    event->accept();
    const QButtonGroup* answers = group();
    if (!answers)
        return;
    const int count = static_cast<int>(answers->buttons().size());
    const int next = (answers->id(this) + step + count) % count;
    if (QAbstractButton* target = answers->button(next))
        target->setFocus(Qt::TabFocusReason);
}
