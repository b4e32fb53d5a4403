// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screen_flow.h"
#include "screens/screen_fonts.h"
#include "screens/shell_services.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace {

// Runs a job once the first window has been painted and shown, for what the first screen does
// not need.
class AfterFirstPaint : public QObject
{
public:
    explicit AfterFirstPaint(std::function<void()> job) : m_job(std::move(job)) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, m_job);
        }
        return false;
    }

private:
    std::function<void()> m_job;
};

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

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TevrinQuiz"));
    QApplication::setDesktopFileName(QStringLiteral("tevrinquiz"));
    ScreenFonts::InstallTahoma();
    // Decoding the icon's sizes takes as long as building the welcome screen; it waits for the
    // screen's first paint.
    AfterFirstPaint later([] { QApplication::setWindowIcon(programIcon()); });

    DesktopServices services;
    ScreenFlow flow(services);
    flow.ShowWelcome();
    return app.exec();
}
