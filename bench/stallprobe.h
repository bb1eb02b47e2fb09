// SPDX-License-Identifier: GPL-2.0-or-later
// The benchmarks' measure of a responsive window: the longest gap between two ticks of a 5 ms
// timer in the window's thread.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Ticks every 5 ms and keeps the longest time between two ticks since the last reset.
class StallProbe : public QObject
{
public:
    StallProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [this] {
            longestMs = qMax(longestMs, since.nsecsElapsed() / 1e6);
            since.restart();
        });
        timer.start();
        reset();
    }
    void reset()
    {
        longestMs = 0;
        since.restart();
    }
    // Counts the time since the last tick too, for work that ends without a tick after it.
    double longest() const { return qMax(longestMs, since.nsecsElapsed() / 1e6); }

private:
    QTimer timer;
    QElapsedTimer since;
    double longestMs = 0;
};
