// SPDX-License-Identifier: GPL-2.0-or-later
#include "dbusservice.h"

#include "helperprotocol.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>

namespace KroAdmin {

namespace {

using namespace HelperProtocol;

// Long enough for an administrator to type a password and for a slow program to finish.
const int CallTimeoutMs = 10 * 60 * 1000;
const int ErrorLinesShown = 5;

QString lastLines(const QByteArray &text)
{
    QStringList lines = QString::fromLocal8Bit(text).trimmed().split(QLatin1Char('\n'));
    if (lines.size() > ErrorLinesShown)
        lines = lines.mid(lines.size() - ErrorLinesShown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

DbusService::DbusService(QObject *parent) : QObject(parent) {}

int DbusService::execSmthWithArgs(const QString &program, const QStringList &arguments,
                                  const QByteArray &standardInput)
{
    const QDBusMessage answer = call(ExecMethod, {program, arguments, standardInput}, program);
    if (answer.type() != QDBusMessage::ReplyMessage)
        return lastError;
    const QList<QVariant> values = answer.arguments();
    const int status = values.value(0, -1).toInt();
    if (status != 0) {
        lastError = Failed;
        const QString reason =
            status < 0 ? tr("The program \"%1\" crashed.").arg(program)
                       : tr("The program \"%1\" exited with status %2.").arg(program).arg(status);
        const QString errors = lastLines(values.value(2).toByteArray());
        emit showMessage(tr("Error"), errors.isEmpty() ? reason : reason + '\n' + errors);
        return status < 0 ? lastError : status;
    }
    emit processOutput(QString::fromLocal8Bit(values.value(1).toByteArray()));
    return 0;
}

qint64 DbusService::execSmthDetachedWithArgs(const QString &program, const QStringList &arguments)
{
    const QDBusMessage answer = call(ExecDetachedMethod, {program, arguments}, program);
    if (answer.type() != QDBusMessage::ReplyMessage)
        return Failed;
    return answer.arguments().value(0, -1).toLongLong();
}

bool DbusService::move(const QString &source, const QString &destination)
{
    return call(MoveMethod, {source, destination}, QString()).type() == QDBusMessage::ReplyMessage;
}

int DbusService::getDbusErrorAsInt() const
{
    return lastError;
}

QDBusMessage DbusService::call(const QString &method, const QList<QVariant> &arguments,
                               const QString &program)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, ObjectPath, Service, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage answer =
        QDBusConnection::systemBus().call(message, QDBus::Block, CallTimeoutMs);
    lastError = Success;
    if (answer.type() == QDBusMessage::ErrorMessage)
        reportError(answer, program);
    return answer;
}

bool DbusService::protectReport(const QString &report, const QByteArray &key)
{
    return call(ProtectMethod, {report, key}, QStringLiteral("ccrypt")).type() ==
           QDBusMessage::ReplyMessage;
}

bool DbusService::makeReportReadable(const QString &report)
{
    return call(MakeReadableMethod, {report}, QString()).type() == QDBusMessage::ReplyMessage;
}

bool DbusService::splitReport(const QString &report, int volumeMiB)
{
    return call(SplitMethod, {report, volumeMiB}, QStringLiteral("zip")).type() ==
           QDBusMessage::ReplyMessage;
}

bool DbusService::deleteReports(const QStringList &files)
{
    return call(DeleteReportsMethod, {files}, QString()).type() == QDBusMessage::ReplyMessage;
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
    QDBusMessage message =
        QDBusMessage::createMethodCall(Service, ObjectPath, Service, StopReportMethod);
    message.setInteractiveAuthorizationAllowed(true);
    return QDBusConnection::systemBus().asyncCall(message, CallTimeoutMs);
}

void DbusService::reportError(const QDBusMessage &answer, const QString &program)
{
    const QString name = answer.errorName();
    if (!name.startsWith(ErrorPrefix)) {
        lastError = QDBusError(answer).type();
        emit showMessage(tr("Error"), answer.errorMessage());
        return;
    }
    const QString detail = answer.errorMessage();
    QString text;
    if (name == NotFoundError) {
        lastError = NotFound;
        text = tr("The program \"%1\" was not found.").arg(program);
    } else if (name == MoveRefusedError) {
        lastError = MoveRefused;
        text = tr("The file could not be moved: %1.").arg(detail);
    } else if (name == FileRefusedError) {
        lastError = FileRefused;
        text = tr("The report was not changed: %1.").arg(detail);
    } else if (name == RunAliveError) {
        lastError = RunAlive;
        text = tr("A report is being collected already.");
    } else if (name == TimedOutError) {
        lastError = TimedOut;
        text = tr("The program \"%1\" did not end in time and was stopped.").arg(program);
    } else if (name == FailedError && program == QLatin1String("ccrypt") && !detail.isEmpty()) {
        lastError = Failed;
        text = tr("The report could not be protected:\n%1").arg(detail);
    } else if (name == FailedError && program == QLatin1String("zip") && !detail.isEmpty()) {
        lastError = Failed;
        text = tr("The report could not be split into volumes:\n%1").arg(detail);
    } else if (name == FailedError && program.isEmpty() && !detail.isEmpty()) {
        lastError = Failed;
        text = tr("Some files could not be removed:\n%1").arg(detail);
    } else {
        lastError = Failed;
        text = tr("The program \"%1\" could not be started.").arg(program);
    }
    emit showMessage(tr("Error"), text);
}

} // namespace KroAdmin
