// SPDX-License-Identifier: GPL-2.0-or-later
// Asks polkit whether a bus client may do what it asked for. Every request is a check of its own
// with its own answer, so a password prompt left open, a polkit error or a client that has gone
// delays or refuses only that one request. Anything but a clear yes counts as a refusal.
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <functional>

class QDBusPendingCallWatcher;

class Authorizer : public QObject
{
    Q_OBJECT

public:
    using Decision = std::function<void(bool allowed)>;

    explicit Authorizer(const QDBusConnection &bus, QObject *parent = nullptr);

    // Calls decision later with the verdict for the client with the unique bus name busName.
    void authorize(const QString &busName, const QString &actionId, Decision decision);
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
    QHash<QDBusPendingCallWatcher *, Request> pending;
    quint64 lastId = 0;
};
