// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/lined_label.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

LinedLabel::LinedLabel(int lineHeight, QWidget* parent) : QLabel(parent), m_lineHeight(lineHeight)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

int LinedLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return static_cast<int>(lines(width - margins.left() - margins.right()).size()) * m_lineHeight + margins.top() +
           margins.bottom();
}

QStringList LinedLabel::lines(int width) const
{
    // Broken where the toolkit's own word wrap breaks them.
    QTextLayout layout(text(), font(), this);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList found;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        found << text().mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return found;
}

void LinedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QStringList shown = lines(area.width());
    const int flags = (alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine;
    for (int i = 0; i < shown.size(); ++i)
        style()->drawItemText(&painter, QRect(area.left(), area.top() + i * m_lineHeight, area.width(), m_lineHeight),
                              flags, palette(), isEnabled(), shown[i], foregroundRole());
}
