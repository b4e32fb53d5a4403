// SPDX-License-Identifier: GPL-3.0-or-later
// The moment a probe's first window is first painted, noted by an application event filter.
#pragma once

#include <QObject>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace Bench {

// CLOCK_MONOTONIC in nanoseconds: the same clock in every process of the machine.
std::int64_t monotonicNanoseconds();

// Watches every event of the application; on the first Paint of a top-level window it prints
// "painted <monotonic ns>" and hands the window to `then`, once the current event is done.
class FirstPaintWatch : public QObject
{
public:
    explicit FirstPaintWatch(std::function<void(QWidget*)> then);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(QWidget*)> m_then;
    bool m_seen = false;
};

// Installs a watch on the running application; the default `then` quits it.
void watchFirstPaint(std::function<void(QWidget*)> then = {});

} // namespace Bench
