// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace ScreenFonts {

namespace {

constexpr qreal PointSize = 8.25; // both screen fonts
const QString TahomaFamily = QStringLiteral("Tahoma");
const QString MsSansSerifFamily = QStringLiteral("MS Sans Serif");

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
    font.setPointSizeF(PointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont WelcomeDefault()
{
    static const bool installed = [] {
        const QString path = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");
        if (!QFontDatabase::hasFamily(MsSansSerifFamily) && QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
        if (!QFontDatabase::hasFamily(MsSansSerifFamily))
            QFont::insertSubstitution(MsSansSerifFamily, TahomaFamily); // the nearest in width
        return true;
    }();
    Q_UNUSED(installed);
    QFont font(MsSansSerifFamily);
    font.setPointSizeF(PointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString ResolvedTahomaFamily()
{
    return QFontInfo(Tahoma()).family();
}

} // namespace ScreenFonts
