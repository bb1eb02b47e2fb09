// SPDX-License-Identifier: GPL-2.0-or-later
// The helper's D-Bus object: every call is first authorized with polkit for the calling bus
// client, then runs a program or moves a file as root. Replies are sent when the work is
// done, so that one slow program or password prompt never holds up the other callers, and
// the helper leaves after an idle minute.
#pragma once

#include "programrunner.h"

#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QTimer>
#include <functional>

class Authorizer;

class HelperService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", KRO_HELPER_SERVICE)

public:
    HelperService(const QString &standInDir, QObject *parent = nullptr);

public slots:
    // Runs the program, waits for it and replies its exit status (-1 when it crashed), its
    // standard output and its error output. input is written to its standard input.
    Q_SCRIPTABLE int Exec(const QString &program, const QStringList &arguments,
                          const QByteArray &input, QByteArray &output, QByteArray &errorOutput);
    // Starts the program in a session of its own and replies its process number.
    Q_SCRIPTABLE qlonglong ExecDetached(const QString &program, const QStringList &arguments);
    Q_SCRIPTABLE void Move(const QString &source, const QString &destination);

private:
    using Job = std::function<void(const QDBusMessage &call, uint callerUid)>;

    void authorizeThen(Job job);
    void reply(const QDBusMessage &answer);
    void replyError(const QDBusMessage &call, const QString &errorName, const QString &text);
    QString resolveOrRefuse(const QDBusMessage &call, const QString &program);

    Authorizer *authorizer;
    ProgramRunner runner;
    QTimer idleTimer;
    int busy = 0;
};
