// SPDX-License-Identifier: GPL-2.0-or-later
// Switches one debug module on or off as a sequence driven by the helper's replies, so that the
// window keeps painting: each file change is edited into a private copy that the helper moves
// over the file, then the reboot flag is published when the window asks for it, then the
// module's commands run one after another. The first refused or failed step ends the switch,
// and no copy of a configuration file is left behind. Reading and editing the files happens in
// a worker thread: configuration files may be large.
#pragma once

#include "dbusservice.h"
#include "debugmoduleobject.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class DebugSwitch : public QObject
{
    Q_OBJECT

public:
    // Fills the reboot flag's working copy and names it and its published path; false when
    // there is nothing to publish.
    using FlagPreparer = std::function<bool(QString *workingCopy, QString *published)>;

    explicit DebugSwitch(KroAdmin::DbusService &service, QObject *parent = nullptr);

    // prepareFlag runs after the file changes, before the first command; null for no flag.
    void start(DebugModuleObject *module, bool rollback, const FlagPreparer &prepareFlag);

signals:
    // failure is empty when every step succeeded; otherwise it names the failed step in the
    // application's words, and reply holds the helper's answer to it (empty for a step that
    // failed before the helper was asked). state is where the module's files stand now.
    void finished(const QString &failure, const KroAdmin::HelperReply &reply, ModuleState state);

private:
    // The outcome of the file work for the next change not yet in place.
    struct Prepared
    {
        QList<FileChange> remaining;
        FileChange change;
        QString copy;
        QString failure;
    };
    static Prepared prepareNext(QList<FileChange> changes, bool rollback);

    void changeNextFile();
    void moveCopy(const Prepared &prepared);
    void publishFlag();
    void runNextCommand();
    void fail(const QString &failure, const KroAdmin::HelperReply &reply = {});
    // Reads the module's state in the worker, then tells the end.
    void finish(const QString &failure, const KroAdmin::HelperReply &reply);

    KroAdmin::DbusService &service;
    QList<FileChange> moduleChanges;
    QList<FileChange> changes;
    QStringList commands;
    bool rollback = false;
    FlagPreparer prepareFlag;
    QFutureWatcher<Prepared> preparing;
    QFutureWatcher<ModuleState> reading;
    QString endFailure;
    KroAdmin::HelperReply endReply;
};
