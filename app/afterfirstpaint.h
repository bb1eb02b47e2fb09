// SPDX-License-Identifier: GPL-2.0-or-later
// Runs a piece of work once, as soon as a widget has been painted for the first time: start-up
// work that the first picture does not need waits until the window is on the screen.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

class AfterFirstPaint : public QObject
{
    Q_OBJECT

public:
    // Becomes a child of widget and deletes itself once the work has run.
    AfterFirstPaint(QWidget *widget, std::function<void()> work);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run();

    std::function<void()> work;
};
