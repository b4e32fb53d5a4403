// SPDX-License-Identifier: GPL-3.0-or-later
#include "first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace Bench {

std::int64_t monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

FirstPaintWatch::FirstPaintWatch(std::function<void(QWidget*)> then) : m_then(std::move(then)) {}

bool FirstPaintWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        m_seen = true;
        std::printf("painted %lld\n", static_cast<long long>(monotonicNanoseconds()));
        std::fflush(stdout);
        QPointer<QWidget> window = static_cast<QWidget*>(watched);
        QTimer::singleShot(0, this, [this, window] { m_then(window); });
    }
    return QObject::eventFilter(watched, event);
}

void watchFirstPaint(std::function<void(QWidget*)> then)
{
    if (!then)
        then = [](QWidget*) { QCoreApplication::quit(); };
    auto* watch = new FirstPaintWatch(std::move(then));
    watch->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(watch);
}

} // namespace Bench
