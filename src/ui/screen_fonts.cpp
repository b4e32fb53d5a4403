// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace ScreenFonts {

namespace {

constexpr qreal TahomaPointSize = 8.25;
constexpr qreal WelcomeDefaultPointSize = 7.5; // 10 pixels at 96 dots per inch
const QString TahomaFamily = QStringLiteral("Tahoma");

} // namespace

void InstallTahoma()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;

    if (QFontDatabase::hasFamily(TahomaFamily))
        return;
    // Wine's Tahoma (LGPL, Debian's fonts-wine) has Tahoma's metrics, so the designs fit as drawn.
    const QStringList wineFonts = {QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"),
                                   QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")};
    for (const QString& path : wineFonts) {
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    if (!QFontDatabase::hasFamily(TahomaFamily)) {
        QFont::insertSubstitutions(TahomaFamily, {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                                                  QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    }
}

QFont Tahoma(bool bold)
{
    QFont font(TahomaFamily);
    font.setPointSizeF(TahomaPointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont WelcomeDefault()
{
    QFont font = Tahoma();
    font.setPointSizeF(WelcomeDefaultPointSize);
    return font;
}

QString ResolvedTahomaFamily()
{
    return QFontInfo(Tahoma()).family();
}

} // namespace ScreenFonts
