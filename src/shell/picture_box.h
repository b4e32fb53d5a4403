// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "click_tracker.h"

#include <QPixmap>
#include <QWidget>

// A picture drawn unscaled from its top-left corner and clipped to the box. It can take the
// focus and then acts as a button: a click, Space or Enter emits clicked().
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap m_picture;
    ClickTracker m_clicks;
};

// Loads a picture of the program's assets, taking the drawn-at-double-size variant
// ("name@2x.ext") on screens that scale by more than one.
QPixmap LoadAssetPicture(const QString& fileName, qreal devicePixelRatio);
