// SPDX-License-Identifier: GPL-2.0-or-later
#include "ptyprocess.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

PtyProcess::PtyProcess(QObject *parent) : QProcess(parent)
{
    // The terminal's last output may come after the program has ended.
    connect(this, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, [this] {
        readTerminal();
        closeTerminal();
    });
}

PtyProcess::~PtyProcess()
{
    closeTerminal();
}

bool PtyProcess::startOnTerminal(const QString &program, const QStringList &arguments)
{
    closeTerminal();
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return false;
    const char *name = ::ptsname(master);
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !name) {
        closeTerminal();
        return false;
    }
    slaveName = QByteArray(name);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PtyProcess::readTerminal);
    // The program's own pipes stay unused: the terminal takes their place in the child.
    setStandardInputFile(QProcess::nullDevice());
    start(program, arguments, QIODevice::ReadOnly);
    return true;
}

void PtyProcess::setupChildProcess()
{
    // Only async-signal-safe calls from here on.
    ::setsid();
    if (niceness > 0)
        ::setpriority(PRIO_PROCESS, 0, ::getpriority(PRIO_PROCESS, 0) + niceness);
    const int slave = ::open(slaveName.constData(), O_RDWR);
    if (slave < 0)
        ::_exit(127);
    ::ioctl(slave, TIOCSCTTY, 0);
    ::dup2(slave, STDIN_FILENO);
    ::dup2(slave, STDOUT_FILENO);
    ::dup2(slave, STDERR_FILENO);
    if (slave > STDERR_FILENO)
        ::close(slave);
}

void PtyProcess::type(const QByteArray &text)
{
    if (master < 0)
        return;
    qint64 done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(master, text.constData() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        done += written;
    }
}

void PtyProcess::signalGroup(int signal)
{
    const qint64 leader = processId();
    if (leader > 0)
        ::kill(-static_cast<pid_t>(leader), signal);
}

void PtyProcess::readTerminal()
{
    if (master < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got > 0) {
            emit output(QByteArray(buffer, static_cast<int>(got)));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // EAGAIN: all read for now; EIO or 0: the terminal's last program has closed it.
        if (got == 0 || errno != EAGAIN)
            notifier->setEnabled(false);
        return;
    }
}

void PtyProcess::closeTerminal()
{
    delete notifier;
    notifier = nullptr;
    if (master >= 0)
        ::close(master);
    master = -1;
}
