// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The application's style, but every text struck twice, the second time one device pixel to the
// right: on a screen that scales, the toolkit's own emboldening of a regular face adds too little
// to read as bold.
class OverstrikeStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // The one instance, made on first use, lasting as long as the application.
    static OverstrikeStyle* Instance();

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole textRole = QPalette::NoRole) const override;

private:
    using QProxyStyle::QProxyStyle;
};
