// SPDX-License-Identifier: GPL-2.0-or-later
#include "qtsingleapplication.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <QtEndian>
#include <optional>
#include <unistd.h>

namespace {
// A message is UTF-8 text after its length (32 bits, big-endian); the receiver answers with this
// byte once it has handed the message on, so the sender knows it arrived.
constexpr char Acknowledgement = '\x06';
// Anything longer is not from our own sender and is dropped instead of buffered.
constexpr qint64 MaxMessageBytes = 64 * 1024;
constexpr int RetryIntervalMs = 50;

// The runtime directory is private to the user (mode 0700), so no other user can take our lock
// or socket names away or talk to us.
QString instanceBasePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/kro-sosreport-") + QString::number(::getuid());
}

// The complete message when the socket holds one; nothing while it is still arriving.
std::optional<QString> readMessage(QLocalSocket *socket)
{
    quint32 length = 0;
    if (socket->peek(reinterpret_cast<char *>(&length), sizeof length) < qint64(sizeof length))
        return std::nullopt;
    length = qFromBigEndian(length);
    if (socket->bytesAvailable() < qint64(sizeof length) + length)
        return std::nullopt;
    socket->skip(sizeof length);
    return QString::fromUtf8(socket->read(length));
}

QByteArray encodeMessage(const QString &message)
{
    const QByteArray text = message.toUtf8();
    QByteArray data(sizeof(quint32), Qt::Uninitialized);
    qToBigEndian(quint32(text.size()), data.data());
    return data + text;
}
} // namespace

QtSingleApplication::QtSingleApplication(int &argc, char **argv, bool GUIenabled)
    : QApplication(argc, argv, GUIenabled)
{
    const QString base = instanceBasePath();
    serverName = base + QStringLiteral(".socket");
    lockFile = new QLockFile(base + QStringLiteral(".lock"));
    // A running first instance may hold the lock for days: only a dead holder makes it stale.
    lockFile->setStaleLockTime(0);
}

QtSingleApplication::~QtSingleApplication()
{
    if (server)
        server->close();
    delete lockFile;
}

bool QtSingleApplication::isRunning()
{
    if (lockFile->isLocked())
        return false;
    if (lockFile->tryLock(0)) {
        startServer();
        return false;
    }
    // Only a lock held by a live process means another copy; any other failure (no writable
    // runtime directory) must not keep the user from starting the application at all.
    return lockFile->error() == QLockFile::LockFailedError;
}

void QtSingleApplication::startServer()
{
    // The lock proves no live instance owns this name; a socket left by a crashed one goes.
    QLocalServer::removeServer(serverName);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &QtSingleApplication::receiveConnection);
    server->listen(serverName);
}

bool QtSingleApplication::sendMessage(const QString &message, int timeout)
{
    if (!isRunning())
        return false;
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    // The first instance may still be between taking the lock and listening.
    for (;;) {
        socket.connectToServer(serverName);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(RetryIntervalMs);
    }
    socket.write(encodeMessage(message));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (!socket.bytesAvailable()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == Acknowledgement;
}

void QtSingleApplication::setActivationWindow(QWidget *aw, bool activateOnMessage)
{
    actWin = aw;
    this->activateOnMessage = activateOnMessage;
}

QWidget *QtSingleApplication::activationWindow() const
{
    return actWin;
}

void QtSingleApplication::activateWindow()
{
    if (!actWin)
        return;
    actWin->setWindowState(actWin->windowState() & ~Qt::WindowMinimized);
    actWin->raise();
    actWin->activateWindow();
}

void QtSingleApplication::receiveConnection()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Messages are read as they arrive so that a slow or silent sender never blocks the
        // window of this instance.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receiveMessage(socket); });
        if (socket->bytesAvailable())
            receiveMessage(socket);
    }
}

void QtSingleApplication::receiveMessage(QLocalSocket *socket)
{
    if (socket->bytesAvailable() > MaxMessageBytes) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    const std::optional<QString> message = readMessage(socket);
    if (!message)
        return;
    socket->putChar(Acknowledgement);
    socket->flush();
    socket->disconnectFromServer();
    emit messageReceived(*message);
    if (activateOnMessage)
        activateWindow();
}
