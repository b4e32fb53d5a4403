// SPDX-License-Identifier: GPL-3.0-or-later
// The moment a probe's first window has been painted: the window's first Paint event posts an
// event of high priority, delivered once that paint, its children's and the flush to the screen
// are done, before any job the program itself has queued for later. It prints "painted <ns>" on
// CLOCK_MONOTONIC, the same clock in every process, and "cpu <ms> ms", the processor time of the
// process so far, then hands the window on (by default, quits).
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <functional>

namespace Bench {

inline long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class FirstPaint : public QObject
{
public:
    static void watch(std::function<void(QWidget*)> then = [](QWidget*) { QCoreApplication::quit(); })
    {
        auto* watch = new FirstPaint;
        watch->m_then = std::move(then);
        watch->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watch);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            QCoreApplication::instance()->removeEventFilter(this);
            m_window = static_cast<QWidget*>(watched);
            QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
        }
        return false;
    }

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        std::printf("painted %lld\ncpu %.3f ms\n", monotonicNanoseconds(), cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6);
        std::fflush(stdout);
        m_then(m_window);
        return true;
    }

private:
    std::function<void(QWidget*)> m_then;
    QPointer<QWidget> m_window;
};

} // namespace Bench
