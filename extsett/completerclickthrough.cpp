// SPDX-License-Identifier: GPL-2.0-or-later
#include "completerclickthrough.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QMouseEvent>

CompleterClickThrough::CompleterClickThrough(QCompleter *completer)
    : QObject(completer), completer(completer)
{
    completer->popup()->installEventFilter(this);
}

bool CompleterClickThrough::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *popup = completer->popup();
    if (watched != popup || event->type() != QEvent::MouseButtonPress)
        return false;
    const auto *press = static_cast<QMouseEvent *>(event);
    if (popup->rect().contains(press->pos()) || press->button() != Qt::LeftButton)
        return false;
    popup->hide();
    auto *button = qobject_cast<QAbstractButton *>(QApplication::widgetAt(press->globalPos()));
    if (button && button->isEnabled())
        button->click();
    return true;
}
