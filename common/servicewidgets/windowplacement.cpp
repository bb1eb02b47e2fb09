// SPDX-License-Identifier: GPL-2.0-or-later
#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

QRect WindowPlacement::availableArea(const QWidget *anchor)
{
    const QScreen *screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QSize WindowPlacement::frameExtra(const QWidget *window)
{
    if (window->isVisible())
        return window->frameGeometry().size() - window->size();
    const QStyle *style = window->style();
    const int border = 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    return QSize(border, border + style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
}

QRect WindowPlacement::fitted(const QRect &frame, const QRect &area)
{
    if (area.isEmpty())
        return frame;
    QRect result(frame.topLeft(), frame.size().boundedTo(area.size()).expandedTo(QSize(1, 1)));
    if (result.right() > area.right())
        result.moveRight(area.right());
    if (result.bottom() > area.bottom())
        result.moveBottom(area.bottom());
    if (result.left() < area.left())
        result.moveLeft(area.left());
    if (result.top() < area.top())
        result.moveTop(area.top());
    return result;
}

void WindowPlacement::placeOver(QWidget *window, const QWidget *anchor)
{
    const QRect area = availableArea(anchor);
    if (area.isEmpty())
        return;
    // Before the first show the frame is unknown; the title bar and borders are guessed from the
    // anchor's own frame.
    const QSize frameExtra = anchor ? anchor->frameGeometry().size() - anchor->size() : QSize(0, 0);
    QSize size = window->size().isValid() ? window->size() : window->sizeHint();
    size = size.boundedTo(area.size() - frameExtra);
    window->resize(size);
    QRect frame(QPoint(), size + frameExtra);
    frame.moveCenter(anchor ? anchor->frameGeometry().center() : area.center());
    window->move(fitted(frame, area).topLeft());
}

void WindowPlacement::placeBeside(QWidget *window, const QWidget *anchor)
{
    const QRect area = availableArea(anchor);
    if (!anchor || area.isEmpty())
        return;
    const QRect outer = anchor->frameGeometry();
    QRect frame(QPoint(), window->size() + frameExtra(window));
    frame.moveTop(outer.top());
    frame.moveLeft(outer.right() + 1);
    if (frame.right() > area.right())
        frame.moveRight(outer.left() - 1);
    // No room on either side: over the anchor's lower corner, clear of its menu and tool bar.
    if (frame.left() < area.left())
        frame.moveBottomRight(outer.bottomRight());
    window->move(fitted(frame, area).topLeft());
}
