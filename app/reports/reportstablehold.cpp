// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstablehold.h"

#include <QApplication>
#include <QEvent>
#include <QTableWidget>

namespace {

const int RetryMs = 250;

} // namespace

ReportsTableHold::ReportsTableHold(QTableWidget *table) : QObject(table), table(table)
{
    retry.setInterval(RetryMs);
    connect(&retry, &QTimer::timeout, this, &ReportsTableHold::tryNow);
    table->viewport()->installEventFilter(this);
}

void ReportsTableHold::request()
{
    pending = true;
    tryNow();
}

void ReportsTableHold::drop()
{
    pending = false;
    retry.stop();
}

bool ReportsTableHold::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Leave && pending)
        // After the leave is handled, when the viewport no longer counts as under the pointer.
        QTimer::singleShot(0, this, &ReportsTableHold::tryNow);
    return QObject::eventFilter(watched, event);
}

bool ReportsTableHold::inUse() const
{
    return table->viewport()->underMouse() || QApplication::activePopupWidget() ||
           QApplication::activeModalWidget() || !table->isEnabled();
}

void ReportsTableHold::tryNow()
{
    if (!pending)
        return;
    if (inUse()) {
        retry.start();
        return;
    }
    retry.stop();
    pending = false;
    emit due();
}
