// SPDX-License-Identifier: GPL-2.0-or-later
#include "debugswitch.h"

#include "backstage.h"
#include "debugmoduleobject.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

DebugSwitch::DebugSwitch(KroAdmin::DbusService &service, QObject *parent)
    : QObject(parent), service(service)
{
    connect(&preparing, &QFutureWatcher<Prepared>::finished, this,
            [this] { moveCopy(preparing.result()); });
    connect(&reading, &QFutureWatcher<ModuleState>::finished, this,
            [this] { emit finished(endFailure, endReply, reading.result()); });
}

void DebugSwitch::start(DebugModuleObject *module, bool rollback, const FlagPreparer &prepareFlag)
{
    moduleChanges = module->fileChanges();
    changes = moduleChanges;
    commands = rollback ? module->rollbackCommands() : module->debugCommands();
    this->rollback = rollback;
    this->prepareFlag = prepareFlag;
    changeNextFile();
}

// A change already in place is no failure: a half-switched module can be switched the whole
// way, and a switch can be retried after a failure. Runs in the worker: it touches nothing of
// the switch.
DebugSwitch::Prepared DebugSwitch::prepareNext(QList<FileChange> changes, bool rollback)
{
    Backstage files;
    const FileChangeState target = rollback ? FileChangeState::Unchanged : FileChangeState::Changed;
    while (!changes.isEmpty() && files.detectFileChangeState(changes.constFirst()) == target)
        changes.removeFirst();
    Prepared prepared;
    if (changes.isEmpty())
        return prepared;
    prepared.change = changes.takeFirst();
    prepared.remaining = changes;
    if (files.prepareFileChange(prepared.change, rollback, &prepared.copy) != Backstage::Success)
        prepared.failure = files.fileChangeErrors().constLast();
    return prepared;
}

void DebugSwitch::changeNextFile()
{
    preparing.setFuture(QtConcurrent::run(&DebugSwitch::prepareNext, changes, rollback));
}

void DebugSwitch::moveCopy(const Prepared &prepared)
{
    changes = prepared.remaining;
    if (!prepared.failure.isEmpty()) {
        fail(prepared.failure);
        return;
    }
    if (prepared.copy.isEmpty()) {
        publishFlag();
        return;
    }
    const FileChange change = prepared.change;
    const QString copy = prepared.copy;
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
        finish(QString(), KroAdmin::HelperReply());
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
    finish(failure.trimmed(), reply);
}

void DebugSwitch::finish(const QString &failure, const KroAdmin::HelperReply &reply)
{
    endFailure = failure;
    endReply = reply;
    reading.setFuture(QtConcurrent::run(
        [changes = moduleChanges] { return Backstage().detectModuleState(changes); }));
}
