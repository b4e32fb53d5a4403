// SPDX-License-Identifier: GPL-3.0-or-later
// The moment a probe's first window has been painted (see AfterFirstPaint). It prints
// "startup_to_first_paint <ms> ms", the time on the monotonic clock (the same in every process),
// and "startup_cpu <ms> ms", the processor time of the process so far, then hands the window on
// (by default, quits).
#pragma once

#include "app/after_first_paint.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

class FirstPaint
{
public:
    static double now()
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    static void watch(std::function<void(QWidget*)> then = [](QWidget*) { QCoreApplication::quit(); })
    {
        AfterFirstPaint::Run(
            [then = std::move(then)](QWidget* window) {
                std::printf("startup_to_first_paint %.3f ms\nstartup_cpu %.3f ms\n", now(),
                            double(std::clock()) * 1000 / CLOCKS_PER_SEC);
                std::fflush(stdout);
                then(window);
            },
            Qt::HighEventPriority);
    }
};
