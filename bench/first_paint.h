// SPDX-License-Identifier: GPL-3.0-or-later
// The moment a probe's first window has been painted: the window's first Paint event posts an
// event of high priority, delivered once that paint, its children's and the flush to the screen
// are done, before any job the program itself has queued for later. It prints
// "startup_to_first_paint <ms> ms", the time on the monotonic clock (the same in every process),
// and "startup_cpu <ms> ms", the processor time of the process so far, then hands the window on
// (by default, quits).
#pragma once

#include <QCoreApplication>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

class FirstPaint : public QObject
{
public:
    static double now()
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    static void watch(std::function<void(QWidget*)> then = [](QWidget*) { QCoreApplication::quit(); })
    {
        auto* watch = new FirstPaint;
        watch->m_then = std::move(then);
        watch->setParent(qApp);
        qApp->installEventFilter(watch);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            m_window = static_cast<QWidget*>(watched);
            QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
        }
        return false;
    }

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        std::printf("startup_to_first_paint %.3f ms\nstartup_cpu %.3f ms\n", now(),
                    double(std::clock()) * 1000 / CLOCKS_PER_SEC);
        std::fflush(stdout);
        m_then(m_window);
        return true;
    }

private:
    std::function<void(QWidget*)> m_then;
    QWidget* m_window = nullptr;
};
