// SPDX-License-Identifier: GPL-3.0-or-later
// The floors of the start-up figures: a window of the welcome screen's size, watched as the
// program is. "bare" leaves it empty; "text" adds one label and one button, what any screen with
// text pays for (the font database, glyphs, the style's button).
#include "first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(478, 266);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0) {
        (new QLabel(QStringLiteral("Total Question :"), &window))->move(16, 16);
        (new QPushButton(QStringLiteral("Start Quiz"), &window))->move(16, 48);
    }
    FirstPaint::watch();
    window.show();
    return app.exec();
}
