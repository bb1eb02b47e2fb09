// SPDX-License-Identifier: GPL-2.0-or-later
// The channel between copies of the application: the first copy listens on a Unix socket that
// only its user can reach, a later copy sends it one message and waits for the acknowledgement.
// Plain sockets and a socket notifier do the job, so the application needs no network library.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <map>
#include <memory>

class QSocketNotifier;

class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Replaces whatever socket a crashed copy left at path and listens there.
    bool listen(const QString &path);
    // Delivers message to the copy listening at path; false when it did not acknowledge it
    // within timeoutMs.
    static bool send(const QString &path, const QString &message, int timeoutMs);

signals:
    void messageReceived(const QString &message);

private:
    struct Connection;

    void acceptConnections();
    void readConnection(int fd);
    void dropConnection(int fd);

    QByteArray listenPath;
    int listener = -1;
    QSocketNotifier *listenerNotifier = nullptr;
    std::map<int, std::unique_ptr<Connection>> connections;
};
