// SPDX-License-Identifier: GPL-2.0-or-later
// Names the services still left in debug mode and asks whether to switch them back, at start
// and at close. A service whose switch another flow is handling can be left out of the reminder.
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QString>

class DebugModuleObject;
class QWidget;

class DebugModeReminder
{
    Q_DECLARE_TR_FUNCTIONS(DebugModeReminder)

public:
    void skip(const QString &moduleName) { skipped.insert(moduleName); }
    void unskip(const QString &moduleName) { skipped.remove(moduleName); }

    // The modules among the given ones whose debug mode is on, skipped ones left out.
    QList<DebugModuleObject *> modulesInDebugMode(const QList<DebugModuleObject *> &modules) const;

    // Asks about the modules in debug mode; returns those the user chose to switch back, none
    // when nothing is left on or the user keeps them on.
    QList<DebugModuleObject *> ask(QWidget *parent,
                                   const QList<DebugModuleObject *> &modules) const;

private:
    QSet<QString> skipped;
};
