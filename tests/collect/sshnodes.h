// SPDX-License-Identifier: GPL-2.0-or-later
// Machines for collecting from, for the collection tests and benchmark: each a real sshd on a
// loopback address of its own, in namespaces with its own host name (see sshnode.sh), named in
// the ssh configuration of the private home. SSH reads ~/.ssh from the password database, not
// from HOME: the process, run as root, binds its private home over root's in a mount namespace
// of its own, before any thread starts.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

class SshNodes
{
public:
    // folder holds the nodes' folders; the client's key goes into home/.ssh.
    SshNodes(const QString &script, const QString &folder, const QString &home)
        : script(script), folder(folder), sshDir(home + QStringLiteral("/.ssh")),
          port(20000 + ::getpid() % 20000)
    {
    }
    ~SshNodes()
    {
        for (QProcess *node : qAsConst(nodes)) {
            node->terminate();
            node->waitForFinished(WaitMs);
            delete node;
        }
    }

    static bool usePrivateSshHome(const QString &home)
    {
        const passwd *root = ::getpwuid(0);
        return ::geteuid() == 0 && root && QFile::exists(QStringLiteral("/usr/sbin/sshd")) &&
               ::unshare(CLONE_NEWNS) == 0 &&
               ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
               ::mount(QFile::encodeName(home).constData(), root->pw_dir, nullptr, MS_BIND,
                       nullptr) == 0;
    }

    // Makes the client's key (authorized on the nodes) and another one.
    bool makeKeys()
    {
        return QDir().mkpath(sshDir) &&
               run({"-q", "-t", "ed25519", "-N", "", "-f", sshDir + "/id_ed25519"}) &&
               run({"-q", "-t", "ed25519", "-N", "", "-f", folder + "/other"}) &&
               QFile::copy(sshDir + "/id_ed25519.pub", authorizedKeys());
    }
    // The process of the node started last: its sshd.
    qint64 lastNodeProcess() const { return nodes.isEmpty() ? 0 : nodes.last()->processId(); }
    QString authorizedKeys() const { return folder + QStringLiteral("/keys"); }
    QString otherKeys() const { return folder + QStringLiteral("/other.pub"); }
    QString nodeDir(const QString &name) const { return folder + QLatin1Char('/') + name; }

    // Starts node name on 127.0.0.address (no sshd when listening is false) and names it in
    // ~/.ssh/config; options go to sshnode.sh. False when its sshd does not listen.
    bool start(const QString &name, int address, const QStringList &options = {},
               const QString &keys = {}, bool listening = true)
    {
        const QString ip = QStringLiteral("127.0.0.%1").arg(address);
        config += QStringLiteral("Host %1\n  HostName %2\n  Port %3\n").arg(name, ip).arg(port);
        QFile file(sshDir + QStringLiteral("/config"));
        if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) != config.size())
            return false;
        if (!listening)
            return true;
        auto *node = new QProcess;
        nodes << node;
        node->setReadChannel(QProcess::StandardError);
        node->start(script, QStringList{name, ip, QString::number(port), nodeDir(name),
                                        keys.isEmpty() ? authorizedKeys() : keys} +
                                options);
        QByteArray said;
        while (!said.contains("Server listening") && node->waitForReadyRead(WaitMs))
            said += node->readAllStandardError();
        if (!said.contains("Server listening"))
            qWarning("sshd of %s did not start: %s", qPrintable(name), said.constData());
        return said.contains("Server listening");
    }

    // The processes whose command line names text; with ours, only those in this process's
    // mount namespace (its own and its children's, not other tests' on the same machine).
    static QList<qint64> processesNaming(const QString &text, bool ours = false)
    {
        const QByteArray own = mountNamespace(QStringLiteral("self"));
        QList<qint64> found;
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
            if (entry.toLongLong() != ::getpid() && cmdline.open(QIODevice::ReadOnly) &&
                cmdline.readAll().contains(text.toUtf8()) &&
                (!ours || mountNamespace(entry) == own))
                found << entry.toLongLong();
        }
        return found;
    }

private:
    static constexpr int WaitMs = 60000;

    // "mnt:[number]", the same for processes in the same mount namespace.
    static QByteArray mountNamespace(const QString &process)
    {
        char target[64] = {};
        const QByteArray link = QFile::encodeName(QStringLiteral("/proc/%1/ns/mnt").arg(process));
        const ssize_t size = ::readlink(link.constData(), target, sizeof target - 1);
        return size > 0 ? QByteArray(target, static_cast<int>(size)) : QByteArray();
    }

    static bool run(const QStringList &arguments)
    {
        return QProcess::execute(QStringLiteral("ssh-keygen"), arguments) == 0;
    }

    const QString script;
    const QString folder;
    const QString sshDir;
    const int port;
    QString config;
    QList<QProcess *> nodes;
};
