// SPDX-License-Identifier: GPL-2.0-or-later
#include "dbusservice.h"

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
// Names the removal of report files in the messages, where other calls name their program.
const QString RemovalLabel = QStringLiteral("unlinkat");

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
    watch(send(ExecMethod, {program, arguments, standardInput}), Kind::Exec, program, context,
          done);
}

void DbusService::execSmthDetachedWithArgs(const QString &program, const QStringList &arguments,
                                           QObject *context, const ReplyHandler &done)
{
    watch(send(ExecDetachedMethod, {program, arguments}), Kind::Detached, program, context, done);
}

void DbusService::move(const QString &source, const QString &destination, QObject *context,
                       const ReplyHandler &done)
{
    watch(send(MoveMethod, {source, destination}), Kind::Plain, QString(), context, done);
}

void DbusService::protectReport(const QString &report, const QByteArray &key, QObject *context,
                                const ReplyHandler &done)
{
    watch(send(ProtectMethod, {report, key}), Kind::Plain, QStringLiteral("ccrypt"), context, done);
}

void DbusService::makeReportReadable(const QString &report, QObject *context,
                                     const ReplyHandler &done)
{
    watch(send(MakeReadableMethod, {report}), Kind::Plain, QString(), context, done);
}

void DbusService::splitReport(const QString &report, int volumeMiB, QObject *context,
                              const ReplyHandler &done)
{
    watch(send(SplitMethod, {report, volumeMiB}), Kind::Plain, QStringLiteral("zip"), context,
          done);
}

void DbusService::deleteReports(const QStringList &files, QObject *context,
                                const ReplyHandler &done)
{
    watch(send(DeleteReportsMethod, {files}), Kind::Plain, RemovalLabel, context, done);
}

int DbusService::execSmthWithArgs(const QString &program, const QStringList &arguments,
                                  const QByteArray &standardInput)
{
    return wait(send(ExecMethod, {program, arguments, standardInput}), Kind::Exec, program).result;
}

qint64 DbusService::execSmthDetachedWithArgs(const QString &program, const QStringList &arguments)
{
    const HelperReply reply =
        wait(send(ExecDetachedMethod, {program, arguments}), Kind::Detached, program);
    return reply.succeeded() ? reply.pid : qint64(Failed);
}

bool DbusService::move(const QString &source, const QString &destination)
{
    return wait(send(MoveMethod, {source, destination}), Kind::Plain, QString()).succeeded();
}

bool DbusService::protectReport(const QString &report, const QByteArray &key)
{
    return wait(send(ProtectMethod, {report, key}), Kind::Plain, QStringLiteral("ccrypt"))
        .succeeded();
}

bool DbusService::makeReportReadable(const QString &report)
{
    return wait(send(MakeReadableMethod, {report}), Kind::Plain, QString()).succeeded();
}

bool DbusService::splitReport(const QString &report, int volumeMiB)
{
    return wait(send(SplitMethod, {report, volumeMiB}), Kind::Plain, QStringLiteral("zip"))
        .succeeded();
}

bool DbusService::deleteReports(const QStringList &files)
{
    return wait(send(DeleteReportsMethod, {files}), Kind::Plain, RemovalLabel).succeeded();
}

void DbusService::queryReportRun(QObject *context, const ReplyHandler &done)
{
    watch(queryReportRun(), Kind::State, QString(), context, done);
}

void DbusService::stopReportRun(QObject *context, const ReplyHandler &done)
{
    watch(stopReportRun(), Kind::Plain, QString(), context, done);
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
// handler whose context went meanwhile is not run.
void DbusService::watch(const QDBusPendingCall &call, Kind kind, const QString &program,
                        QObject *context, const ReplyHandler &done)
{
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    const QPointer<QObject> guard(context);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, kind, program, guard, done](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                const HelperReply reply = conclude(finished->reply(), kind, program);
                if (guard && done)
                    done(reply);
            });
}

HelperReply DbusService::wait(const QDBusPendingCall &call, Kind kind, const QString &program)
{
    QDBusPendingCall pending(call);
    pending.waitForFinished();
    return conclude(pending.reply(), kind, program);
}

HelperReply DbusService::conclude(const QDBusMessage &answer, Kind kind, const QString &program)
{
    HelperReply reply;
    if (kind == Kind::State) {
        readState(answer, reply);
        return reply;
    }
    lastError = Success;
    if (answer.type() != QDBusMessage::ReplyMessage)
        readError(answer, program, reply);
    else if (kind == Kind::Exec)
        readExecAnswer(answer, program, reply);
    else if (kind == Kind::Detached)
        reply.pid = answer.arguments().value(0, -1).toLongLong();
    if (!reply.succeeded())
        emit showMessage(tr("Error"), reply.message);
    return reply;
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
        reply.result = NoRun;
        return;
    }
    reply.busError = answer.errorName() == NameHasNoOwnerError ? QDBusError::ServiceUnknown
                                                               : QDBusError(answer).type();
    reply.result = reply.busError == QDBusError::NoError ? int(QDBusError::Other) : reply.busError;
}

void DbusService::readExecAnswer(const QDBusMessage &answer, const QString &program,
                                 HelperReply &reply)
{
    const QList<QVariant> values = answer.arguments();
    const int status = values.value(0, -1).toInt();
    if (status == 0) {
        reply.output = values.value(1).toByteArray();
        emit processOutput(QString::fromLocal8Bit(reply.output));
        return;
    }
    lastError = Failed;
    reply.result = status < 0 ? int(Failed) : status;
    const QString reason =
        status < 0 ? tr("The program \"%1\" crashed.").arg(program)
                   : tr("The program \"%1\" exited with status %2.").arg(program).arg(status);
    reply.detail = lastLines(values.value(2).toByteArray());
    reply.message = reply.detail.isEmpty() ? reason : reason + '\n' + reply.detail;
}

void DbusService::readError(const QDBusMessage &answer, const QString &program, HelperReply &reply)
{
    const QString name = answer.errorName();
    const QString detail = answer.errorMessage();
    reply.detail = name + '\n' + detail;
    if (!name.startsWith(ErrorPrefix)) {
        reply.busError = QDBusError(answer).type();
        // Every bus failure counts as one, whatever number the toolkit gives it.
        lastError = reply.busError == QDBusError::NoError ? int(QDBusError::Other) : reply.busError;
        reply.result = lastError;
        reply.message = detail;
        return;
    }
    if (name == NotFoundError) {
        lastError = NotFound;
        reply.message = tr("The program \"%1\" was not found.").arg(program);
    } else if (name == MoveRefusedError) {
        lastError = MoveRefused;
        reply.message = tr("The file could not be moved: %1.").arg(detail);
    } else if (name == FileRefusedError) {
        lastError = FileRefused;
        reply.message = tr("The report was not changed: %1.").arg(detail);
    } else if (name == NoRunError) {
        lastError = NoRun;
        reply.message = tr("No report is being collected.");
    } else if (name == RunAliveError) {
        lastError = RunAlive;
        reply.message = tr("A report is being collected already.");
    } else if (name == TimedOutError) {
        lastError = TimedOut;
        reply.message = tr("The program \"%1\" did not end in time and was stopped.").arg(program);
    } else if (name == FailedError && program == QLatin1String("ccrypt") && !detail.isEmpty()) {
        lastError = Failed;
        reply.message = tr("The report could not be protected:\n%1").arg(detail);
    } else if (name == FailedError && program == QLatin1String("zip") && !detail.isEmpty()) {
        lastError = Failed;
        reply.message = tr("The report could not be split into volumes:\n%1").arg(detail);
    } else if (name == FailedError && program == RemovalLabel && !detail.isEmpty()) {
        lastError = Failed;
        reply.message = tr("Some files could not be removed:\n%1").arg(detail);
    } else {
        // A busy helper and refused options have result codes of their own for the window.
        lastError = name == BusyError               ? Busy
                    : name == ArgumentsRefusedError ? ArgumentsRefused
                                                    : Failed;
        reply.message = tr("The program \"%1\" could not be started.").arg(program);
    }
    reply.result = lastError;
}

} // namespace KroAdmin
