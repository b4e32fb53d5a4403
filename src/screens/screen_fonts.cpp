// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screen_fonts.h"

#include "core/build_config.h"
#include "screens/overstrike_style.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>
#include <QWidget>

namespace ScreenFonts {

namespace {

constexpr qreal TahomaPointSize = 8.25;
constexpr qreal WelcomeDefaultPointSize = 7.5; // 10 pixels at 96 dots per inch
const QString TahomaFamily = QStringLiteral("Tahoma");
bool s_wineTahoma = false;      // Wine's Tahoma stands in for the system's
bool s_wineBoldPending = false; // its bold face not added yet

// Wine's Tahoma carries its weight in bitmaps drawn for the small sizes the designs use: its bold
// outlines are no heavier than its regular ones. On a screen that does not scale, its letters are
// drawn from those bitmaps, as the designs were; where the screen scales there are none.
bool drawWineBitmaps()
{
    return s_wineTahoma && qGuiApp->devicePixelRatio() <= 1.0;
}

// Where the screen scales, Wine's bold outlines are as thin as its regular ones: bold is the
// regular face emboldened by the toolkit, and struck twice (OverstrikeStyle).
bool overstrikeBold()
{
    return s_wineTahoma && !drawWineBitmaps();
}

QString wineFont(const char* file)
{
    return QString::fromUtf8(BuildConfig::WineFonts) + u'/' + QLatin1String(file);
}

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
    if (QFontDatabase::addApplicationFont(wineFont("tahoma.ttf")) >= 0) {
        s_wineTahoma = s_wineBoldPending = true;
        return;
    }
    QFont::insertSubstitutions(TahomaFamily, {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                                              QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
}

QFont Tahoma(bool bold)
{
    if (bold && s_wineBoldPending) {
        s_wineBoldPending = false;
        if (drawWineBitmaps())
            QFontDatabase::addApplicationFont(wineFont("tahomabd.ttf"));
    }
    QFont font(TahomaFamily);
    font.setPointSizeF(TahomaPointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif, drawWineBitmaps() ? QFont::NoAntialias : QFont::PreferDefault);
    // The bitmaps keep their own advances only under full hinting; otherwise each letter lands at
    // its outline's advance, and the spacing goes uneven.
    if (drawWineBitmaps())
        font.setHintingPreference(QFont::PreferFullHinting);
    // The second strike widens each letter by a device pixel; so much more room keeps them apart.
    if (bold && overstrikeBold())
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / qGuiApp->devicePixelRatio());
    return font;
}

void UseBold(QWidget* control)
{
    control->setFont(Tahoma(true));
    if (overstrikeBold())
        control->setStyle(OverstrikeStyle::Instance());
}

QFont WelcomeDefault()
{
    QFont font = Tahoma();
    font.setPointSizeF(WelcomeDefaultPointSize);
    // Wine's bitmaps at this size space the letters unevenly: smoothed outlines read better.
    font.setStyleStrategy(QFont::PreferDefault);
    font.setHintingPreference(QFont::PreferDefaultHinting);
    return font;
}

} // namespace ScreenFonts
