// SPDX-License-Identifier: GPL-2.0-or-later
// Keeps top-level windows inside the available area of a screen: a secondary window opens over
// the window it belongs to, shrunk to fit when the screen is small, and a companion panel beside
// it.
#pragma once

#include <QRect>

class QWidget;

class WindowPlacement
{
public:
    // The available area of the screen showing anchor (or the primary screen without one).
    static QRect availableArea(const QWidget *anchor);

    // Sizes window to fit the available area and centres it over anchor, kept on the screen.
    static void placeOver(QWidget *window, const QWidget *anchor);

    // Moves window beside anchor, top edges level: on its right where the screen has room, else
    // on its left, else over the anchor's lower right corner, kept on the screen.
    static void placeBeside(QWidget *window, const QWidget *anchor);

    // The room the window system's frame takes around a top-level window: known once the window
    // is shown, guessed from the style's title bar and frame before.
    static QSize frameExtra(const QWidget *window);

    // The frame rectangle moved and cut so that it lies inside area.
    static QRect fitted(const QRect &frame, const QRect &area);
};
