// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/after_first_paint.h"
#include "core/random_source.h"
#include "core/results_store.h"
#include "screens/screen_flow.h"
#include "screens/screen_fonts.h"
#include "screens/shell_services.h"

#include <QApplication>
#include <QIcon>

namespace {

QIcon programIcon()
{
    // The icon resource with its three 32 x 32 images serves Windows; elsewhere the same motif
    // in PNG sizes, which needs no extra image plugin.
#ifdef Q_OS_WIN
    QIcon icon(QStringLiteral(":/assets/tevrinquiz.ico"));
#else
    QIcon icon;
#endif
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/hicolor/%1x%1/apps/tevrinquiz.png").arg(size));
    return icon;
}

} // namespace

int RunProgram(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TevrinQuiz"));
    QApplication::setDesktopFileName(QStringLiteral("tevrinquiz"));
    ScreenFonts::InstallTahoma();
    // Decoding the icon's sizes takes as long as building the welcome screen; it waits for the
    // screen's first paint.
    AfterFirstPaint::Run([](QWidget*) { QApplication::setWindowIcon(programIcon()); });

    DesktopServices services;
    ScreenFlow flow(services, ResultsStore::forApplication(), [] { return std::make_unique<ClockMixedRandom>(); });
    flow.ShowWelcome();
    return app.exec();
}
