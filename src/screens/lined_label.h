// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A word-wrapped plain-text label whose lines lie a set height apart, whatever spacing the font
// itself gives. Its lines are drawn by the style, as a label's text is.
class LinedLabel : public QLabel
{
    Q_OBJECT

public:
    LinedLabel(int lineHeight, QWidget* parent);

    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList lines(int width) const;

    int m_lineHeight;
};
