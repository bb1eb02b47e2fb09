// SPDX-License-Identifier: GPL-2.0-or-later
#include "afterfirstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

AfterFirstPaint::AfterFirstPaint(QWidget *widget, std::function<void()> work)
    : QObject(widget), work(std::move(work))
{
    widget->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // The window's paint event comes first of all its widgets': the work waits until the
        // whole picture is painted and on the screen.
        QTimer::singleShot(0, this, &AfterFirstPaint::run);
    }
    return false;
}

void AfterFirstPaint::run()
{
    work();
    deleteLater();
}
