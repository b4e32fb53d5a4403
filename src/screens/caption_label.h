// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "screens/click_tracker.h"

#include <QLabel>

// A caption lying on a picture button: clicking it counts as clicking the button.
class CaptionLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override { m_clicks.doublePress(event); }

private:
    ClickTracker m_clicks;
};
