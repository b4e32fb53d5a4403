// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "screens/click_tracker.h"

#include <QPixmap>
#include <QWidget>

// A picture drawn unscaled from its top-left corner and clipped to the box. It can take the
// focus; a click, Space or Enter emits clicked(). A box made pressable is a button to
// assistive technology too (see ScreenAccessibility), named by its accessible name and pressed by
// its press action.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

    void setPressable(bool pressable) { m_pressable = pressable; }
    bool isPressable() const { return m_pressable; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override { m_clicks.doublePress(event); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap m_picture;
    ClickTracker m_clicks;
    bool m_pressable = false;
};

// Loads a picture of the program's assets, taking the drawn-at-double-size variant
// ("name@2x.ext") on screens that scale by more than one.
QPixmap LoadAssetPicture(const QString& fileName, qreal devicePixelRatio);
