// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRadioButton>

// One of the four answers. Only the player chooses an answer: the arrow keys move the focus
// between the answers without selecting, and Space or a click selects.
class AnswerButton : public QRadioButton
{
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

    // Shows an answer text exactly as stored ("&" is no keyboard accelerator here).
    void setAnswerText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The whole width of the answer takes the click, not just the mark and the text.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
