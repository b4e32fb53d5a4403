// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/overstrike_style.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QStyleFactory>

OverstrikeStyle* OverstrikeStyle::Instance()
{
    // A fresh copy of the application's style: a proxy owns its base.
    static OverstrikeStyle* const style = [] {
        auto* made = new OverstrikeStyle(QStyleFactory::create(QApplication::style()->name()));
        made->setParent(qApp);
        return made;
    }();
    return style;
}

void OverstrikeStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                                   bool enabled, const QString& text, QPalette::ColorRole textRole) const
{
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    painter->save();
    painter->translate(1.0 / painter->device()->devicePixelRatioF(), 0);
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    painter->restore();
}
