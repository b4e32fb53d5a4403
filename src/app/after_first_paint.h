// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QWidget>

#include <functional>

// Runs a job once the first window has been painted: the window's first Paint event posts an
// event, delivered once that paint, its children's and the flush to the screen are done. The
// program defers what its first screen does not need to it, behind everything else queued; the
// benchmarks time the first screen by it, with high priority, ahead of anything queued.
class AfterFirstPaint final : public QObject
{
public:
    static void Run(std::function<void(QWidget* window)> job, Qt::EventPriority priority = Qt::LowEventPriority)
    {
        auto* watch = new AfterFirstPaint(std::move(job), priority);
        watch->setParent(qApp);
        qApp->installEventFilter(watch);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            m_window = static_cast<QWidget*>(watched);
            QCoreApplication::postEvent(this, new QEvent(QEvent::User), m_priority);
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
    AfterFirstPaint(std::function<void(QWidget*)> job, Qt::EventPriority priority)
        : m_job(std::move(job)), m_priority(priority)
    {}

    std::function<void(QWidget*)> m_job;
    Qt::EventPriority m_priority;
    QWidget* m_window = nullptr;
};
