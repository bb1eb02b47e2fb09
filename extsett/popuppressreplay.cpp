// SPDX-License-Identifier: GPL-2.0-or-later
#include "popuppressreplay.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

PopupPressReplay::PopupPressReplay(QWidget *popup, QWidget *owner)
    : QObject(popup), popup(popup), owner(owner)
{
    // The press is handed on here, synchronously: a second, queued replay by Qt would arrive after
    // a quick release and leave the button held down.
    popup->setAttribute(Qt::WA_NoMouseReplay);
    popup->installEventFilter(this);
}

bool PopupPressReplay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != popup || event->type() != QEvent::MouseButtonPress)
        return false;
    auto *press = static_cast<QMouseEvent *>(event);
    if (popup->rect().contains(press->pos()))
        return false;
    popup->hide();
    QWidget *window = owner->window();
    QWidget *under = QApplication::widgetAt(press->globalPos());
    // A press outside the owner's window only closes the popup, as it would without a replay.
    if (under && under->window() == window && window->windowHandle()) {
        // Through the window, as a press from the window system goes, so that the release that
        // follows is delivered to the widget that took the press.
        const QPoint at = window->mapFromGlobal(press->globalPos());
        QMouseEvent replay(QEvent::MouseButtonPress, at, at, press->screenPos(), press->button(),
                           press->buttons(), press->modifiers(), press->source());
        QCoreApplication::sendEvent(window->windowHandle(), &replay);
    }
    return true;
}
