// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QWidget>

#include <functional>

// Runs a job once the first window has been painted: the window's first Paint event posts an
// event of high priority, delivered once that paint, its children's and the flush to the screen
// are done, before anything the program has queued for later. The program defers what its first
// screen does not need to it; the benchmarks time the first screen by it.
class AfterFirstPaint final : public QObject
{
public:
    static void Run(std::function<void(QWidget* window)> job)
    {
        auto* watch = new AfterFirstPaint(std::move(job));
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
        m_job(m_window);
        return true;
    }

private:
    explicit AfterFirstPaint(std::function<void(QWidget*)> job) : m_job(std::move(job)) {}

    std::function<void(QWidget*)> m_job;
    QWidget* m_window = nullptr;
};
