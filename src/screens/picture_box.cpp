// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/picture_box.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    // Clicks take the focus in mousePressEvent, after the screen has had its say (see WelcomeScreen).
    setFocusPolicy(Qt::TabFocus);
}

void PictureBox::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    if (hasFocus()) {
        // A dotted frame shows keyboard players where they are.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    m_clicks.press(event);
    if (event->button() == Qt::LeftButton)
        setFocus(Qt::MouseFocusReason);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_clicks.release(this, event))
        Q_EMIT clicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held key's repeats never get here: the screens' press watch keeps them back.
        event->accept();
        Q_EMIT clicked();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

namespace {

// Reads a picture in the format its name gives. Left to find the format, Qt loads every image
// plugin there is to ask it, which took longer than reading all the welcome screen's pictures.
QPixmap readPicture(const QString& path)
{
    // Without detection the reader does not open a file it is given by name.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImageReader(&reader);
}

} // namespace

QPixmap LoadAssetPicture(const QString& fileName, qreal devicePixelRatio)
{
    const QString path = QStringLiteral(":/assets/") + fileName;
    if (devicePixelRatio > 1.0) {
        const QFileInfo info(path);
        const QString dir = info.path() + u'/';
        // The double-size variant may be stored in another format than the 1x picture.
        for (const QString& suffix : {info.suffix(), QStringLiteral("png"), QStringLiteral("jpg")}) {
            QPixmap large = readPicture(dir + info.completeBaseName() + QStringLiteral("@2x.") + suffix);
            if (!large.isNull()) {
                large.setDevicePixelRatio(2.0);
                return large;
            }
        }
    }
    return readPicture(path);
}
