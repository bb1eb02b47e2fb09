// SPDX-License-Identifier: GPL-2.0-or-later
#include "qtsingleapplication.h"

#include "instancechannel.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QWidget>
#include <unistd.h>

namespace {

// The runtime directory is private to the user (mode 0700), so no other user can take our lock
// or socket names away or talk to us.
QString instanceBasePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/kro-sosreport-") + QString::number(::getuid());
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
    delete server;
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
    // The lock proves no live instance owns this name: a socket left by a crashed one goes.
    server = new InstanceChannel;
    connect(server, &InstanceChannel::messageReceived, this, &QtSingleApplication::receiveMessage);
    server->listen(serverName);
}

bool QtSingleApplication::sendMessage(const QString &message, int timeout)
{
    if (!isRunning())
        return false;
    return InstanceChannel::send(serverName, message, timeout);
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

void QtSingleApplication::receiveMessage(const QString &message)
{
    emit messageReceived(message);
    if (activateOnMessage)
        activateWindow();
}
