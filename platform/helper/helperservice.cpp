// SPDX-License-Identifier: GPL-2.0-or-later
#include "helperservice.h"

#include "authorizer.h"
#include "filemover.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {

const int IdleExitMs = 60000;
const QString ErrorPrefix = QStringLiteral(KRO_HELPER_SERVICE ".Error.");

} // namespace

HelperService::HelperService(const QString &standInDir, QObject *parent)
    : QObject(parent), authorizer(new Authorizer(QStringLiteral(KRO_CONFIGURE_ACTION), this)),
      runner(standInDir)
{
    idleTimer.setSingleShot(true);
    idleTimer.setInterval(IdleExitMs);
    connect(&idleTimer, &QTimer::timeout, qApp, &QCoreApplication::quit);
    idleTimer.start();
}

int HelperService::Exec(const QString &program, const QStringList &arguments,
                        const QByteArray &input, QByteArray &, QByteArray &)
{
    authorizeThen([this, program, arguments, input](const QDBusMessage &call, uint uid) {
        const QString path = resolveOrRefuse(call, program);
        if (path.isEmpty())
            return;
        qInfo("uid %u runs %s %s", uid, qPrintable(path),
              qPrintable(ProgramRunner::loggable(path, arguments).join(' ')));
        const bool started =
            runner.run(path, arguments, input, [this, call](const ProgramRunner::Result &result) {
                reply(call.createReply(
                    QVariantList{result.exitStatus, result.output, result.errorOutput}));
            });
        if (!started)
            replyError(call, ErrorPrefix + "Failed", "The program could not be started.");
    });
    return 0;
}

qlonglong HelperService::ExecDetached(const QString &program, const QStringList &arguments)
{
    authorizeThen([this, program, arguments](const QDBusMessage &call, uint uid) {
        const QString path = resolveOrRefuse(call, program);
        if (path.isEmpty())
            return;
        qInfo("uid %u starts %s %s", uid, qPrintable(path),
              qPrintable(ProgramRunner::loggable(path, arguments).join(' ')));
        const qint64 pid = runner.startDetached(path, arguments);
        if (pid < 0)
            replyError(call, ErrorPrefix + "Failed", "The program could not be started.");
        else
            reply(call.createReply(QVariant::fromValue(qlonglong(pid))));
    });
    return 0;
}

void HelperService::Move(const QString &source, const QString &destination)
{
    authorizeThen([this, source, destination](const QDBusMessage &call, uint uid) {
        qInfo("uid %u moves %s to %s", uid, qPrintable(source), qPrintable(destination));
        const QString failure = FileMover::move(uid, source, destination);
        if (failure.isEmpty())
            reply(call.createReply());
        else
            replyError(call, ErrorPrefix + "MoveRefused", failure);
    });
}

void HelperService::authorizeThen(Job job)
{
    setDelayedReply(true);
    const QDBusMessage call = message();
    ++busy;
    idleTimer.stop();
    authorizer->authorize(call.service(), [this, call, job](bool allowed) {
        const auto uid = QDBusConnection::systemBus().interface()->serviceUid(call.service());
        if (!allowed || !uid.isValid()) {
            qInfo("refused a call from %s", qPrintable(call.service()));
            reply(call.createErrorReply(QDBusError::AccessDenied,
                                        "The administrator's permission was not granted."));
            return;
        }
        job(call, uid.value());
    });
}

void HelperService::reply(const QDBusMessage &answer)
{
    QDBusConnection::systemBus().send(answer);
    if (--busy == 0)
        idleTimer.start();
}

void HelperService::replyError(const QDBusMessage &call, const QString &errorName,
                               const QString &text)
{
    reply(call.createErrorReply(errorName, text));
}

QString HelperService::resolveOrRefuse(const QDBusMessage &call, const QString &program)
{
    const QString path = runner.resolve(program);
    if (path.isEmpty())
        replyError(call, ErrorPrefix + "NotFound",
                   QStringLiteral("No program \"%1\" in the system folders.").arg(program));
    return path;
}
