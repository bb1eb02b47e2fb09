// SPDX-License-Identifier: GPL-2.0-or-later
// Runs start-up work once a widget has been painted for the first time: work that the first
// picture does not need waits until the window is on the screen. The work comes in steps, one
// per turn of the event loop, so that the window can paint and answer input between them. Work
// of a later moment can wait for the repaint that the work before it asked for alike.
#pragma once

#include <QObject>
#include <QVector>
#include <functional>

class QWidget;

class AfterFirstPaint : public QObject
{
    Q_OBJECT

public:
    using Step = std::function<void()>;

    // Becomes a child of widget and deletes itself once the last step has run.
    AfterFirstPaint(QWidget *widget, QVector<Step> steps);
    AfterFirstPaint(QWidget *widget, Step work) : AfterFirstPaint(widget, QVector<Step>{work}) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runNext();

    QVector<Step> steps;
    int next = 0;
};

// Runs work two turns of the event loop from now, as long as context lives: what is queued now,
// the repaint that the current work asked for included, is handled first and the loop looks at
// its timers and input in between, so that the two do not hold up one frame together.
void afterRepaint(QObject *context, const std::function<void()> &work);
