// SPDX-License-Identifier: GPL-2.0-or-later
#include "dbusservice.h"

#include "helperfailure.h"
#include "helperprotocol.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QPointer>

namespace KroAdmin {

namespace {

using namespace HelperProtocol;

// Long enough for an administrator to type a password and for a slow program to finish.
const int CallTimeoutMs = 10 * 60 * 1000;
const int ErrorLinesShown = 5;
// What the bus answers for a name nobody holds when it may not start the service.
const QString NameHasNoOwnerError = QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");

QString lastLines(const QByteArray &text)
{
    QStringList lines = QString::fromLocal8Bit(text).trimmed().split(QLatin1Char('\n'));
    if (lines.size() > ErrorLinesShown)
        lines = lines.mid(lines.size() - ErrorLinesShown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

DbusService::DbusService(QObject *parent) : QObject(parent) {}

void DbusService::execSmthWithArgs(const QString &program, const QStringList &arguments,
                                   const QByteArray &standardInput, QObject *context,
                                   const ReplyHandler &done)
{
    watch(send(ExecMethod, {program, arguments, standardInput}), Kind::Exec, {ExecMethod, program},
          context, done);
}

void DbusService::execSmthDetachedWithArgs(const QString &program, const QStringList &arguments,
                                           QObject *context, const ReplyHandler &done)
{
    watch(send(ExecDetachedMethod, {program, arguments}), Kind::Detached,
          {ExecDetachedMethod, program}, context, done);
}

void DbusService::move(const QString &source, const QString &destination, QObject *context,
                       const ReplyHandler &done)
{
    watch(send(MoveMethod, {source, destination}), Kind::Plain, {MoveMethod, {}}, context, done);
}

void DbusService::protectReport(const QString &report, const QByteArray &key, QObject *context,
                                const ReplyHandler &done)
{
    watch(send(ProtectMethod, {report, key}), Kind::Plain, {ProtectMethod, {}}, context, done);
}

void DbusService::makeReportReadable(const QString &report, QObject *context,
                                     const ReplyHandler &done)
{
    watch(send(MakeReadableMethod, {report}), Kind::Plain, {MakeReadableMethod, {}}, context, done);
}

void DbusService::splitReport(const QString &report, int volumeMiB, QObject *context,
                              const ReplyHandler &done)
{
    watch(send(SplitMethod, {report, volumeMiB}), Kind::Plain, {SplitMethod, {}}, context, done);
}

void DbusService::deleteReports(const QStringList &files, QObject *context,
                                const ReplyHandler &done)
{
    watch(send(DeleteReportsMethod, {files}), Kind::Plain, {DeleteReportsMethod, {}}, context,
          done);
}

int DbusService::execSmthWithArgs(const QString &program, const QStringList &arguments,
                                  const QByteArray &standardInput)
{
    const HelperReply reply = wait(send(ExecMethod, {program, arguments, standardInput}),
                                   Kind::Exec, {ExecMethod, program});
    return reply.exitStatus > 0 ? reply.exitStatus : reply.errorNumber();
}

qint64 DbusService::execSmthDetachedWithArgs(const QString &program, const QStringList &arguments)
{
    const HelperReply reply = wait(send(ExecDetachedMethod, {program, arguments}), Kind::Detached,
                                   {ExecDetachedMethod, program});
    return reply.succeeded() ? reply.pid : qint64(Failed);
}

bool DbusService::move(const QString &source, const QString &destination)
{
    return wait(send(MoveMethod, {source, destination}), Kind::Plain, {MoveMethod, {}}).succeeded();
}

bool DbusService::protectReport(const QString &report, const QByteArray &key)
{
    return wait(send(ProtectMethod, {report, key}), Kind::Plain, {ProtectMethod, {}}).succeeded();
}

bool DbusService::makeReportReadable(const QString &report)
{
    return wait(send(MakeReadableMethod, {report}), Kind::Plain, {MakeReadableMethod, {}})
        .succeeded();
}

bool DbusService::splitReport(const QString &report, int volumeMiB)
{
    return wait(send(SplitMethod, {report, volumeMiB}), Kind::Plain, {SplitMethod, {}}).succeeded();
}

bool DbusService::deleteReports(const QStringList &files)
{
    return wait(send(DeleteReportsMethod, {files}), Kind::Plain, {DeleteReportsMethod, {}})
        .succeeded();
}

void DbusService::queryReportRun(QObject *context, const ReplyHandler &done)
{
    watch(queryReportRun(), Kind::State, {ReportStateMethod, {}}, context, done);
}

void DbusService::stopReportRun(QObject *context, const ReplyHandler &done)
{
    watch(stopReportRun(), Kind::Plain, {StopReportMethod, {}}, context, done);
}

// A helper that is not running remembers no run: asking never starts a root process for
// nothing, as a window opening would otherwise do each time.
QDBusPendingCall DbusService::queryReportRun() const
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(Service, ObjectPath, Service, ReportStateMethod);
    message.setAutoStartService(false);
    return QDBusConnection::systemBus().asyncCall(message);
}

QDBusPendingCall DbusService::stopReportRun() const
{
    return send(StopReportMethod, {});
}

int DbusService::getDbusErrorAsInt() const
{
    return lastError;
}

QDBusPendingCall DbusService::send(const QString &method, const QList<QVariant> &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, ObjectPath, Service, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    QDBusConnection bus = QDBusConnection::systemBus();
    // Without a bus the toolkit hands back a call that never ends; this one fails at once.
    if (!bus.isConnected())
        return QDBusPendingCall::fromError(
            QDBusError(QDBusError::Disconnected, QStringLiteral("Not connected to D-Bus server")));
    return bus.asyncCall(message, CallTimeoutMs);
}

// The watcher belongs to the service, so it goes when its reply is read or with the service; a
// handler whose context went meanwhile is not run. The reply goes to the handler alone.
void DbusService::watch(const QDBusPendingCall &pending, Kind kind, const Call &call,
                        QObject *context, const ReplyHandler &done)
{
    auto *watcher = new QDBusPendingCallWatcher(pending, this);
    const QPointer<QObject> guard(context);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [kind, call, guard, done](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                const HelperReply reply = conclude(finished->reply(), kind, call);
                if (guard && done)
                    done(reply);
            });
}

HelperReply DbusService::wait(const QDBusPendingCall &pending, Kind kind, const Call &call)
{
    QDBusPendingCall waited(pending);
    waited.waitForFinished();
    const HelperReply reply = conclude(waited.reply(), kind, call);
    lastError = reply.errorNumber();
    if (kind == Kind::Exec && reply.succeeded())
        emit processOutput(QString::fromLocal8Bit(reply.output));
    if (!reply.succeeded())
        emit showMessage(tr("Error"), reply.message);
    return reply;
}

HelperReply DbusService::conclude(const QDBusMessage &answer, Kind kind, const Call &call)
{
    HelperReply reply;
    if (kind == Kind::State)
        readState(answer, reply);
    else if (answer.type() != QDBusMessage::ReplyMessage)
        readError(answer, call, reply);
    else if (kind == Kind::Exec)
        readExecAnswer(answer, call, reply);
    else if (kind == Kind::Detached)
        reply.pid = answer.arguments().value(0, -1).toLongLong();
    return reply;
}

int HelperReply::errorNumber() const
{
    if (busError != QDBusError::NoError)
        return busError;
    if (protocolError != Success)
        return protocolError;
    return exitStatus != 0 ? int(Failed) : int(Success);
}

// A helper that was never started, or was killed, has no owner of its name: it knows no run.
void DbusService::readState(const QDBusMessage &answer, HelperReply &reply)
{
    if (answer.type() == QDBusMessage::ReplyMessage) {
        reply.state = qdbus_cast<QVariantMap>(answer.arguments().value(0));
        return;
    }
    reply.detail = answer.errorName() + '\n' + answer.errorMessage();
    reply.message = answer.errorMessage();
    if (answer.errorName() == NoRunError) {
        reply.protocolError = NoRun;
    } else if (answer.errorName() == NameHasNoOwnerError) {
        reply.busError = QDBusError::ServiceUnknown;
        reply.message = failureSentence(reply.busError);
    } else {
        readBusError(answer, reply);
    }
}

void DbusService::readExecAnswer(const QDBusMessage &answer, const Call &call, HelperReply &reply)
{
    const QList<QVariant> values = answer.arguments();
    reply.exitStatus = values.value(0, -1).toInt();
    if (reply.exitStatus == 0) {
        reply.output = values.value(1).toByteArray();
        return;
    }
    const QString reason = reply.exitStatus < 0
                               ? tr("The program \"%1\" crashed.").arg(call.program)
                               : tr("The program \"%1\" exited with status %2.")
                                     .arg(call.program)
                                     .arg(reply.exitStatus);
    reply.detail = lastLines(values.value(2).toByteArray());
    reply.message = reply.detail.isEmpty() ? reason : reason + '\n' + reply.detail;
}

void DbusService::readError(const QDBusMessage &answer, const Call &call, HelperReply &reply)
{
    const QString name = answer.errorName();
    const QString detail = answer.errorMessage();
    reply.detail = name + '\n' + detail;
    if (!name.startsWith(ErrorPrefix))
        return readBusError(answer, reply);
    if (name == NotFoundError) {
        reply.protocolError = NotFound;
        reply.message = tr("The program \"%1\" was not found.").arg(call.program);
    } else if (name == MoveRefusedError) {
        reply.protocolError = MoveRefused;
        reply.message = tr("The file could not be moved: %1.").arg(detail);
    } else if (name == FileRefusedError) {
        reply.protocolError = FileRefused;
        reply.message = tr("The report was not changed: %1.").arg(detail);
    } else if (name == NoRunError) {
        reply.protocolError = NoRun;
        reply.message = tr("No report is being collected.");
    } else if (name == RunAliveError) {
        reply.protocolError = RunAlive;
        reply.message = tr("A report is being collected already.");
    } else if (name == TimedOutError) {
        reply.protocolError = TimedOut;
        reply.message =
            tr("The program \"%1\" did not end in time and was stopped.").arg(call.program);
    } else if (name == BusyError) {
        reply.protocolError = Busy;
        reply.message = tr("The privileged helper is busy with other calls of yours. Try again "
                           "in a moment.");
    } else if (name == AuthorizationDismissedError || name == NoAuthenticationAgentError) {
        reply.protocolError =
            name == AuthorizationDismissedError ? AuthorizationDismissed : NoAuthenticationAgent;
        reply.message = failureSentence(reply.protocolError);
    } else if (name == ArgumentsRefusedError) {
        reply.protocolError = ArgumentsRefused;
        reply.message = tr("The privileged helper refused the options: %1").arg(detail);
    } else {
        reply.protocolError = Failed;
        reply.message = failedText(call, detail);
    }
}

// A failure of the helper's own work, named by the call it failed.
QString DbusService::failedText(const Call &call, const QString &detail)
{
    if (detail.isEmpty() || call.method == ExecMethod || call.method == ExecDetachedMethod)
        return tr("The program \"%1\" could not be started.").arg(call.program);
    if (call.method == ProtectMethod)
        return tr("The report could not be protected:\n%1").arg(detail);
    if (call.method == SplitMethod)
        return tr("The report could not be split into volumes:\n%1").arg(detail);
    if (call.method == DeleteReportsMethod)
        return tr("Some files could not be removed:\n%1").arg(detail);
    return detail;
}

// Every bus failure counts as one, whatever number the toolkit gives it.
void DbusService::readBusError(const QDBusMessage &answer, HelperReply &reply)
{
    const QDBusError::ErrorType type = QDBusError(answer).type();
    reply.busError = type == QDBusError::NoError ? QDBusError::Other : type;
    reply.detail = answer.errorName() + '\n' + answer.errorMessage();
    reply.message = failureSentence(reply.busError, answer.errorName());
}

} // namespace KroAdmin
