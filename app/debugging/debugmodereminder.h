// SPDX-License-Identifier: GPL-2.0-or-later
// Names the services still left in debug mode and asks whether to switch them back, at start
// and at close.
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

class DebugModuleObject;
class QWidget;

class DebugModeReminder
{
    Q_DECLARE_TR_FUNCTIONS(DebugModeReminder)

public:
    // The modules among the given ones whose debug mode is on.
    QList<DebugModuleObject *> modulesInDebugMode(const QList<DebugModuleObject *> &modules) const;

    // Asks about the modules in debug mode; returns those the user chose to switch back, none
    // when nothing is left on or the user keeps them on.
    QList<DebugModuleObject *> ask(QWidget *parent,
                                   const QList<DebugModuleObject *> &modules) const;
};
