// SPDX-License-Identifier: GPL-2.0-or-later
#include "debugmodereminder.h"

#include "debugmoduleobject.h"

#include <QMessageBox>
#include <QPushButton>

QList<DebugModuleObject *>
DebugModeReminder::modulesInDebugMode(const QList<DebugModuleObject *> &modules) const
{
    QList<DebugModuleObject *> active;
    for (DebugModuleObject *module : modules) {
        // A partly switched module still logs more than usual and is worth switching back too.
        const bool on =
            module->state() == ModuleState::Active || module->state() == ModuleState::PartlyActive;
        if (on)
            active.append(module);
    }
    return active;
}

QList<DebugModuleObject *> DebugModeReminder::ask(QWidget *parent,
                                                  const QList<DebugModuleObject *> &modules) const
{
    const QList<DebugModuleObject *> active = modulesInDebugMode(modules);
    if (active.isEmpty())
        return {};
    QStringList names;
    for (const DebugModuleObject *module : active)
        names.append(module->name());

    QMessageBox box(QMessageBox::Question, tr("Attention!"),
                    tr("These services are still in debug mode: %1.\nDebug mode makes their logs "
                       "grow faster. Switch them back now?")
                        .arg(names.join(QStringLiteral(", "))),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(tr("&Switch back"));
    box.button(QMessageBox::No)->setText(tr("&Keep debug mode"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? active : QList<DebugModuleObject *>();
}
