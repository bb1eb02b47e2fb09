// SPDX-License-Identifier: GPL-2.0-or-later
#include "afterfirstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

AfterFirstPaint::AfterFirstPaint(QWidget *widget, QVector<Step> steps)
    : QObject(widget), steps(std::move(steps))
{
    widget->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // The window's paint event comes first of all its widgets': the work waits until the
        // whole picture is painted and on the screen.
        QTimer::singleShot(0, this, &AfterFirstPaint::runNext);
    }
    return false;
}

void AfterFirstPaint::runNext()
{
    // A step may start more work of its own; the next waits for the following turn.
    steps.at(next++)();
    if (next < steps.size())
        QTimer::singleShot(0, this, &AfterFirstPaint::runNext);
    else
        deleteLater();
}

void afterRepaint(QObject *context, const std::function<void()> &work)
{
    // Events posted while the queue is being handled wait for its next round: the first hop
    // lands in the round of the repaint, the second in the one after it.
    QTimer::singleShot(0, context, [context, work] { QTimer::singleShot(0, context, work); });
}
