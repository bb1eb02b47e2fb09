// SPDX-License-Identifier: GPL-2.0-or-later
#include "debugmoduleobject.h"

DebugModuleObject::DebugModuleObject(const QString &name, QObject *parent)
    : QObject(parent), moduleName(name)
{
}

void DebugModuleObject::addDebugCommand(const QString &command)
{
    if (!command.isEmpty())
        debugCommandList.append(command);
}

void DebugModuleObject::addRollbackCommand(const QString &command)
{
    if (!command.isEmpty())
        rollbackCommandList.append(command);
}

void DebugModuleObject::addFileChange(const FileChange &change)
{
    if (!change.filename.isEmpty())
        fileChangeList.append(change);
}
