// SPDX-License-Identifier: GPL-2.0-or-later
#include "instancechannel.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QtEndian>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A message is UTF-8 text after its length (32 bits, big-endian); the receiver answers with this
// byte once it has handed the message on, so the sender knows it arrived.
constexpr char Acknowledgement = '\x06';
// Anything longer is not from our own sender and is dropped instead of buffered.
constexpr qint64 MaxMessageBytes = 64 * 1024;
constexpr int RetryIntervalMs = 50;

bool toAddress(const QByteArray &path, sockaddr_un *address)
{
    *address = sockaddr_un();
    address->sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address->sun_path)
        return false;
    memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

// Binds in a new folder of mode 0700 and only then moves the socket into place, so that no other
// user can connect in the moment between binding and restricting the socket's mode.
bool bindPrivately(int fd, const QByteArray &path)
{
    QByteArray folder = path + ".XXXXXX";
    if (!::mkdtemp(folder.data()))
        return false;
    const QByteArray staged = folder + "/socket";
    sockaddr_un address;
    const bool bound = toAddress(staged, &address) &&
                       ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                       ::chmod(staged.constData(), S_IRUSR | S_IWUSR) == 0 &&
                       ::rename(staged.constData(), path.constData()) == 0;
    ::unlink(staged.constData());
    ::rmdir(folder.constData());
    return bound;
}

// Waits for events on fd until the deadline; false on time-out or error.
bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready > 0)
            return (entry.revents & events) != 0;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool writeAll(int fd, QByteArray data, const QDeadlineTimer &deadline)
{
    while (!data.isEmpty()) {
        const ssize_t written = ::send(fd, data.constData(), size_t(data.size()), MSG_NOSIGNAL);
        if (written > 0)
            data.remove(0, int(written));
        else if ((written < 0 && errno != EAGAIN && errno != EINTR) ||
                 !waitFor(fd, POLLOUT, deadline))
            return false;
    }
    return true;
}

QByteArray encodeMessage(const QString &message)
{
    const QByteArray text = message.toUtf8();
    QByteArray data(sizeof(quint32), Qt::Uninitialized);
    qToBigEndian(quint32(text.size()), data.data());
    return data + text;
}

} // namespace

struct InstanceChannel::Connection
{
    QByteArray received;
    std::unique_ptr<QSocketNotifier> notifier;
};

InstanceChannel::InstanceChannel(QObject *parent) : QObject(parent) {}

InstanceChannel::~InstanceChannel()
{
    while (!connections.empty())
        dropConnection(connections.begin()->first);
    delete listenerNotifier;
    if (listener >= 0) {
        ::close(listener);
        ::unlink(listenPath.constData());
    }
}

bool InstanceChannel::listen(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0)
        return false;
    ::unlink(name.constData());
    if (!bindPrivately(listener, name) || ::listen(listener, SOMAXCONN) != 0) {
        ::close(listener);
        listener = -1;
        return false;
    }
    listenPath = name;
    listenerNotifier = new QSocketNotifier(listener, QSocketNotifier::Read);
    connect(listenerNotifier, &QSocketNotifier::activated, this,
            &InstanceChannel::acceptConnections);
    return true;
}

void InstanceChannel::acceptConnections()
{
    for (;;) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        auto connection = std::make_unique<Connection>();
        connection->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        // Messages are read as they arrive so that a slow or silent sender never blocks the
        // window of this copy.
        connect(connection->notifier.get(), &QSocketNotifier::activated, this,
                [this, fd] { readConnection(fd); });
        connections[fd] = std::move(connection);
    }
}

void InstanceChannel::readConnection(int fd)
{
    Connection &connection = *connections.at(fd);
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        connection.received.append(buffer, int(got));
    const bool closed = got == 0 || (errno != EAGAIN && errno != EINTR);
    quint32 length = 0;
    const QByteArray &data = connection.received;
    if (data.size() >= int(sizeof length))
        length = qFromBigEndian<quint32>(data.constData());
    const bool complete = data.size() >= int(sizeof length) && data.size() - 4 >= qint64(length);
    if (!complete) {
        if (closed || data.size() > MaxMessageBytes)
            dropConnection(fd);
        return;
    }
    const QString message = QString::fromUtf8(data.constData() + sizeof length, int(length));
    writeAll(fd, QByteArray(1, Acknowledgement), QDeadlineTimer(0));
    dropConnection(fd);
    emit messageReceived(message);
}

void InstanceChannel::dropConnection(int fd)
{
    connections.erase(fd);
    ::close(fd);
}

bool InstanceChannel::send(const QString &path, const QString &message, int timeoutMs)
{
    sockaddr_un address;
    if (!toAddress(QFile::encodeName(path), &address))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // The first copy may still be between taking the lock and listening.
    while (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        if (deadline.hasExpired()) {
            ::close(fd);
            return false;
        }
        QThread::msleep(RetryIntervalMs);
    }
    char answer = 0;
    const bool delivered = writeAll(fd, encodeMessage(message), deadline) &&
                           waitFor(fd, POLLIN, deadline) && ::read(fd, &answer, 1) == 1 &&
                           answer == Acknowledgement;
    ::close(fd);
    return delivered;
}
