// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the start-up figures: a bare Qt Widgets window of the welcome screen's size,
// watched the same way as the program.
#include "first_paint.h"

#include <QApplication>
#include <QWidget>

namespace {

void installWatch()
{
    Bench::watchFirstPaint();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installWatch)

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(478, 266);
    window.show();
    return app.exec();
}
