// SPDX-License-Identifier: GPL-2.0-or-later
#include "helperfailure.h"

#include "dbusservice.h"
#include "helperprotocol.h"

#include <QCoreApplication>
#include <QDBusError>

namespace KroAdmin {

namespace {

// What the bus answers when it could not start a service it knows.
const QString SpawnErrorPrefix = QStringLiteral("org.freedesktop.DBus.Error.Spawn.");

class BusErrors
{
    Q_DECLARE_TR_FUNCTIONS(HelperFailure)

public:
    static QString text(int errorType);
    static QString sentence(int errorNumber, const QString &errorName);
};

QString BusErrors::text(int errorType)
{
    switch (errorType) {
    case QDBusError::Failed:
        return tr("The call failed.");
    case QDBusError::NoMemory:
        return tr("Out of memory.");
    case QDBusError::ServiceUnknown:
        return tr("The called service is not known.");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return tr("Timeout reply.");
    case QDBusError::BadAddress:
        return tr("The address given is not valid.");
    case QDBusError::NotSupported:
        return tr("The call/operation is not supported.");
    case QDBusError::LimitsExceeded:
        return tr("The limits allocated to this process/call/connection exceeded the "
                  "pre-defined values.");
    case QDBusError::AccessDenied:
        return tr("Authorization error.");
    case QDBusError::NoServer:
        return tr("No server found.");
    case QDBusError::NoNetwork:
        return tr("No network found.");
    case QDBusError::AddressInUse:
        return tr("QDBusServer tried to bind to an address that is already in use.");
    case QDBusError::Disconnected:
        return tr("The call/process/message was sent after QDBusConnection disconnected.");
    case QDBusError::InvalidArgs:
        return tr("The arguments passed to this call/operation are not valid.");
    case QDBusError::UnknownMethod:
        return tr("The method called was not found in this object/interface with the given "
                  "parameters.");
    case QDBusError::InvalidSignature:
        return tr("The type signature is not valid or compatible.");
    case QDBusError::UnknownInterface:
        return tr("The interface is not known in this object.");
    case QDBusError::UnknownObject:
        return tr("The object path points to an object that does not exist.");
    case QDBusError::UnknownProperty:
        return tr("The property does not exist in this interface.");
    case QDBusError::PropertyReadOnly:
        return tr("The property set failed because the property is read-only.");
    case QDBusError::InternalError:
        return tr("An internal error occurred.");
    case QDBusError::InvalidService:
        return tr("The service requested is invalid.");
    case QDBusError::InvalidObjectPath:
        return tr("The object path provided is invalid.");
    case QDBusError::InvalidInterface:
        return tr("The interface is invalid.");
    case QDBusError::InvalidMember:
        return tr("The member is invalid.");
    default:
        return tr("Unknown error.");
    }
}

QString BusErrors::sentence(int errorNumber, const QString &errorName)
{
    if (errorName.startsWith(SpawnErrorPrefix))
        errorNumber = QDBusError::ServiceUnknown;
    switch (errorNumber) {
    case HelperProtocol::AuthorizationDismissed:
        return tr("Administrator authorisation was cancelled.\nTry again and enter the password "
                  "when you are asked for it.");
    case HelperProtocol::NoAuthenticationAgent:
        return tr("No authentication agent is running in this session.\nLog in to a desktop "
                  "session that runs one (or start your desktop's authentication agent) and try "
                  "again.");
    case QDBusError::AccessDenied:
        return tr("Administrator authorisation was refused.\nOnly an administrator of this "
                  "computer may do this: try again with an administrator's password, or ask an "
                  "administrator.");
    case QDBusError::ServiceUnknown:
    case QDBusError::InvalidService:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return tr("The system helper is not installed or could not start.\nInstall the "
                  "application's package again, or ask an administrator to look at the system "
                  "log.");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return tr("The system helper did not answer in time.\nTry again in a moment.");
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
    case QDBusError::BadAddress:
    case QDBusError::NoNetwork:
        return tr("The system message bus cannot be reached.\nRestart the computer; if that does "
                  "not help, ask an administrator.");
    default:
        if (errorNumber < 0)
            return QString();
        return tr("The system helper could not do what was asked.\nTry again; the details tell "
                  "an administrator what went wrong.");
    }
}

} // namespace

QString busErrorText(int errorType)
{
    return BusErrors::text(errorType);
}

QString failureSentence(int errorNumber, const QString &errorName)
{
    return BusErrors::sentence(errorNumber, errorName);
}

QString failureText(const HelperReply &reply)
{
    if (reply.succeeded())
        return QString();
    return reply.message.isEmpty() ? failureSentence(reply.errorNumber()) : reply.message;
}

QString failureDetails(const HelperReply &reply)
{
    if (reply.busError == QDBusError::NoError)
        return reply.detail;
    return busErrorText(reply.busError) + QLatin1Char('\n') + reply.detail;
}

} // namespace KroAdmin
