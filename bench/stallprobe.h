// SPDX-License-Identifier: GPL-2.0-or-later
// The longest stall of the event loop of the thread it lives in: a timer ticks every 5 ms and the
// longest time between two ticks since the last reset is kept. A loop that is never held up
// still shows gaps of 5 to 12 ms on a busy machine: the idle gap is the anchor of every figure.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

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
