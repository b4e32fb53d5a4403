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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/tevrinquiz.ico")));
    ScreenFonts::InstallTahoma();

    DesktopServices services;
    ScreenFlow flow(services);
    flow.ShowWelcome();
    return app.exec();
}
