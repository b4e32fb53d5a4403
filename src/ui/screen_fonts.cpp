// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace ScreenFonts {

namespace {

constexpr qreal TahomaPointSize = 8.25;
constexpr qreal WelcomeDefaultPointSize = 7.5; // 10 pixels at 96 dots per inch
const QString TahomaFamily = QStringLiteral("Tahoma");
bool s_wineBoldPending = false; // Wine's regular Tahoma is in use, its bold face not added yet

} // namespace

void InstallTahoma()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;

    // families() rather than hasFamily(), which also has fontconfig resolve aliases.
    if (QFontDatabase::families().contains(TahomaFamily, Qt::CaseInsensitive))
        return;
    // Wine's Tahoma (LGPL, Debian's fonts-wine) has Tahoma's metrics, so the designs fit as drawn.
    // Its bold face, which only the quiz screen uses, is added when first asked for.
    if (QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")) >= 0) {
        s_wineBoldPending = true;
        return;
    }
    QFont::insertSubstitutions(TahomaFamily, {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                                              QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
}

QFont Tahoma(bool bold)
{
    if (bold && s_wineBoldPending) {
        s_wineBoldPending = false;
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf"));
    }
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

} // namespace ScreenFonts
