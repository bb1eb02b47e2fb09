// SPDX-License-Identifier: GPL-2.0-or-later
// Asks polkit whether a bus client may do what it asked for. Every request is a check of its own
// with its own answer, so a password prompt left open, a polkit error or a client that has gone
// delays or refuses only that one request. Anything but a clear yes counts as a refusal. The
// checks go over a bus connection of their own, which callers' calls cannot fill, and each
// client and user may have only a few open at once: a check counts until polkit has answered
// it or its time is up, even when its client has left.
#pragma once

#include "calllimits.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <functional>

class QDBusPendingCallWatcher;

class Authorizer : public QObject
{
    Q_OBJECT

public:
    // polkit's answer: a clear yes, or why not. Dismissed: the user closed the password prompt;
    // NoAgent: a password was needed but no authentication agent could ask for it.
    enum class Verdict
    {
        Allowed,
        Refused,
        Dismissed,
        NoAgent
    };
    using Decision = std::function<void(Verdict verdict)>;

    // Long enough to type a password; a prompt left open longer is a refusal.
    static constexpr int CheckTimeoutMs = 4 * 60 * 1000;

    // Connects to the system bus (or the one DBUS_SYSTEM_BUS_ADDRESS names) for polkit alone.
    // A check not answered within timeoutMs is refused and no longer counts.
    explicit Authorizer(QObject *parent = nullptr, int timeoutMs = CheckTimeoutMs);
    ~Authorizer() override;

    // Calls decision later with the verdict for the client with the unique bus name busName, of
    // user uid. False, without a decision, when that client or user has too many checks open.
    bool authorize(const QString &busName, uint uid, const QString &actionId, Decision decision);
    // The client has left the bus: its open checks are withdrawn and refused at once.
    void withdraw(const QString &busName);

private:
    struct Request
    {
        QString busName;
        QString cancellationId;
        Decision decision;
    };

    void finish(QDBusPendingCallWatcher *watcher);

    QDBusConnection bus;
    const int checkTimeoutMs;
    CallLimits limits;
    QHash<QDBusPendingCallWatcher *, Request> pending;
    quint64 lastId = 0;
};
