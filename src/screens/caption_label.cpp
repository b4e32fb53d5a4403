// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/caption_label.h"

#include <QMouseEvent>

void CaptionLabel::mousePressEvent(QMouseEvent* event)
{
    m_clicks.press(event);
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_clicks.release(this, event))
        Q_EMIT clicked();
}
