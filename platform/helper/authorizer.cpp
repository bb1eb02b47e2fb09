// SPDX-License-Identifier: GPL-2.0-or-later
#include "authorizer.h"

#include "helperprotocol.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <utility>

namespace {

const QString PolkitService = QStringLiteral("org.freedesktop.PolicyKit1");
const QString PolkitPath = QStringLiteral("/org/freedesktop/PolicyKit1/Authority");
const QString PolkitInterface = QStringLiteral("org.freedesktop.PolicyKit1.Authority");
const uint AllowUserInteraction = 1;
const QString ConnectionName = QStringLiteral("kro-polkit");
// The bus lets a connection wait for 128 answers: all users' open checks stay below that.
const int ChecksOverall = 120;

using Details = QMap<QString, QString>;

// polkit's subject: a client known by its unique bus name, which is never reused, unlike a
// process number.
struct BusNameSubject
{
    QString busName;
};

QDBusArgument &operator<<(QDBusArgument &argument, const BusNameSubject &subject)
{
    argument.beginStructure();
    argument << QStringLiteral("system-bus-name")
             << QVariantMap{{QStringLiteral("name"), subject.busName}};
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, BusNameSubject &)
{
    return argument; // never received
}

// polkit answers a prompt the user dismissed with this detail, and a check that needs a password
// nobody could ask for (no agent registered for the subject's session) as a challenge.
const QString DismissedDetail = QStringLiteral("polkit.dismissed");

Authorizer::Verdict verdictOf(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage ||
        reply.signature() != QLatin1String("(bba{ss})")) {
        qWarning("polkit gave no verdict: %s", qPrintable(reply.errorMessage()));
        return Authorizer::Verdict::Refused;
    }
    const QDBusArgument result = reply.arguments().at(0).value<QDBusArgument>();
    bool authorized = false;
    bool challenge = false;
    Details details;
    result.beginStructure();
    result >> authorized >> challenge >> details;
    result.endStructure();
    if (authorized)
        return Authorizer::Verdict::Allowed;
    if (details.contains(DismissedDetail))
        return Authorizer::Verdict::Dismissed;
    return challenge ? Authorizer::Verdict::NoAgent : Authorizer::Verdict::Refused;
}

} // namespace

Q_DECLARE_METATYPE(BusNameSubject)

Authorizer::Authorizer(QObject *parent, int timeoutMs)
    : QObject(parent),
      bus(QDBusConnection::connectToBus(QDBusConnection::SystemBus, ConnectionName)),
      checkTimeoutMs(timeoutMs),
      limits(HelperProtocol::ChecksPerCaller, HelperProtocol::ChecksPerUser, ChecksOverall)
{
    qDBusRegisterMetaType<BusNameSubject>();
    qDBusRegisterMetaType<Details>();
}

Authorizer::~Authorizer()
{
    QDBusConnection::disconnectFromBus(ConnectionName);
}

bool Authorizer::authorize(const QString &busName, uint uid, const QString &actionId,
                           Decision decision)
{
    if (!limits.take(busName, uid))
        return false;
    const QString cancellationId = QStringLiteral("kro-helper-%1").arg(++lastId);
    QDBusMessage check = QDBusMessage::createMethodCall(PolkitService, PolkitPath, PolkitInterface,
                                                        "CheckAuthorization");
    check << QVariant::fromValue(BusNameSubject{busName}) << actionId
          << QVariant::fromValue(Details()) << AllowUserInteraction << cancellationId;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(check, checkTimeoutMs), this);
    pending.insert(watcher, {busName, cancellationId, std::move(decision)});
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &Authorizer::finish);
    return true;
}

void Authorizer::withdraw(const QString &busName)
{
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->busName != busName || !it->decision)
            continue;
        QDBusMessage cancel = QDBusMessage::createMethodCall(
            PolkitService, PolkitPath, PolkitInterface, "CancelCheckAuthorization");
        cancel << it->cancellationId;
        bus.send(cancel); // expects no answer, so it takes none of the bus's room for answers
        // The watcher stays until polkit answers; its answer then finds no decision to make.
        const Decision decision = std::exchange(it->decision, Decision());
        decision(Verdict::Refused);
    }
}

void Authorizer::finish(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    const Request request = pending.take(watcher);
    limits.release(request.busName);
    if (request.decision)
        request.decision(verdictOf(watcher->reply()));
}
