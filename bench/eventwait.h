// SPDX-License-Identifier: GPL-2.0-or-later
// Waiting in a benchmark for what the window does from its event loop.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

// Runs the event loop, looking at the condition every 20 ms, until it holds or limitMs passed;
// returns whether it holds.
inline bool waitFor(const std::function<bool()> &condition, int limitMs)
{
    QEventLoop loop;
    QElapsedTimer waited;
    waited.start();
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition() || waited.elapsed() >= limitMs)
            loop.quit();
    });
    check.start(20);
    if (!condition())
        loop.exec();
    return condition();
}
