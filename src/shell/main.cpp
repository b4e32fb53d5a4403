// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_flow.h"
#include "screen_fonts.h"
#include "shell_services.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TevrinQuiz"));
    QApplication::setDesktopFileName(QStringLiteral("tevrinquiz"));
    // The icon resource with its three 32 x 32 images serves Windows; elsewhere the same motif
    // in PNG sizes, which needs no extra image plugin at start-up.
#ifdef Q_OS_WIN
    QIcon icon(QStringLiteral(":/assets/tevrinquiz.ico"));
#else
    QIcon icon;
#endif
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/hicolor/%1x%1/apps/tevrinquiz.png").arg(size));
    QApplication::setWindowIcon(icon);
    ScreenFonts::InstallTahoma();

    DesktopServices services;
    ScreenFlow flow(services);
    flow.ShowWelcome();
    return app.exec();
}
