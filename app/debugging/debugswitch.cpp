// SPDX-License-Identifier: GPL-2.0-or-later
#include "debugswitch.h"

#include "backstage.h"
#include "debugmoduleobject.h"

#include <QFile>

DebugSwitch::DebugSwitch(Backstage &backstage, KroAdmin::DbusService &service, QObject *parent)
    : QObject(parent), backstage(backstage), service(service)
{
}

void DebugSwitch::start(DebugModuleObject *module, bool rollback, const FlagPreparer &prepareFlag)
{
    changes = module->fileChanges();
    commands = rollback ? module->rollbackCommands() : module->debugCommands();
    this->rollback = rollback;
    this->prepareFlag = prepareFlag;
    changeNextFile();
}

// A change already in place is no failure: a half-switched module can be switched the whole
// way, and a switch can be retried after a failure.
void DebugSwitch::changeNextFile()
{
    const FileChangeState target = rollback ? FileChangeState::Unchanged : FileChangeState::Changed;
    while (!changes.isEmpty() && backstage.detectFileChangeState(changes.constFirst()) == target)
        changes.removeFirst();
    if (changes.isEmpty()) {
        publishFlag();
        return;
    }
    const FileChange change = changes.takeFirst();
    QString copy;
    if (backstage.prepareFileChange(change, rollback, &copy) != Backstage::Success) {
        fail(backstage.fileChangeErrors().constLast());
        return;
    }
    service.move(copy, change.filename, this, [this, change, copy](const auto &reply) {
        if (reply.succeeded()) {
            changeNextFile();
            return;
        }
        // A copy the helper did not take holds the file's content: it must not stay behind.
        QFile::remove(copy);
        fail(tr("Failed to replace file %1").arg(change.filename), reply);
    });
}

void DebugSwitch::publishFlag()
{
    QString workingCopy;
    QString published;
    if (!prepareFlag || !prepareFlag(&workingCopy, &published)) {
        runNextCommand();
        return;
    }
    service.move(workingCopy, published, this, [this](const auto &reply) {
        if (reply.succeeded())
            runNextCommand();
        else
            fail(tr("Failed to mark the module as waiting for a reboot"), reply);
    });
}

void DebugSwitch::runNextCommand()
{
    while (!commands.isEmpty() && Backstage::isLeftToUser(commands.constFirst()))
        commands.removeFirst();
    if (commands.isEmpty()) {
        emit finished(QString(), KroAdmin::HelperReply());
        return;
    }
    const QString command = commands.takeFirst();
    QStringList words = Backstage::commandWords(command);
    // A line of nothing but blanks names no program: it cannot run.
    if (words.isEmpty()) {
        fail(tr("Failed to execute command : %1").arg(command));
        return;
    }
    const QString program = words.takeFirst();
    service.execSmthWithArgs(program, words, QByteArray(), this,
                             [this, command](const auto &reply) {
                                 if (reply.succeeded())
                                     runNextCommand();
                                 else
                                     fail(tr("Failed to execute command : %1").arg(command), reply);
                             });
}

void DebugSwitch::fail(const QString &failure, const KroAdmin::HelperReply &reply)
{
    changes.clear();
    commands.clear();
    emit finished(failure.trimmed(), reply);
}
