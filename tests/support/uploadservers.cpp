// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadservers.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString PrivsepDir = QStringLiteral("/run/sshd");
const QString Nginx = QStringLiteral("/usr/sbin/nginx");
const QString Sshd = QStringLiteral("/usr/sbin/sshd");
const QString Vsftpd = QStringLiteral("/usr/sbin/vsftpd");
const QString Apache = QStringLiteral("/usr/sbin/apache2");
const QString ApacheModules = QStringLiteral("/usr/lib/apache2/modules/");
const QString Uploads = QStringLiteral("incoming");
const QString EchoModule = QStringLiteral("/usr/lib/nginx/modules/ngx_http_echo_module.so");
const QString UserPrefix = QStringLiteral("kro-up-");

bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(KroTest::WaitLimitMs) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

bool accepts(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(1000);
}

} // namespace

UploadServers::UploadServers()
    : dir(QStringLiteral("/tmp/kro-upload-XXXXXX")),
      account(UserPrefix + QString::number(::getpid()))
{
    failure = prepare();
}

UploadServers::~UploadServers()
{
    for (Server server : {Https, Sftp, Ftp, HttpsRanges})
        kill(server);
    freeRoom();
    if (madeUser)
        run(QStringLiteral("userdel"), {QStringLiteral("--force"), user()});
    if (madePrivsepDir)
        QDir().rmdir(PrivsepDir);
}

// The user, the certificate and the host key every server start needs.
QString UploadServers::prepare()
{
    if (::geteuid() != 0)
        return QStringLiteral("Only root can make the servers' user and run sshd and vsftpd.");
    if (!dir.isValid() || ::chmod(QFile::encodeName(dir.path()).constData(), 0755) != 0)
        return QStringLiteral("No temporary folder for the servers.");
    secret = QString::number(QRandomGenerator::global()->generate64(), 36);
    const QString home = path(QStringLiteral("home"));
    removeLeftUsers();
    if (!run(QStringLiteral("useradd"),
             {QStringLiteral("--system"), QStringLiteral("--home-dir"), home,
              QStringLiteral("--shell"), QStringLiteral("/bin/sh"), user()}))
        return QStringLiteral("useradd cannot make the servers' user.");
    madeUser = true;
    const passwd *account = ::getpwnam(user().toLocal8Bit().constData());
    if (!account || !run(QStringLiteral("chpasswd"), {}, (user() + ':' + secret + '\n').toUtf8()) ||
        !QDir().mkpath(home + '/' + Uploads) ||
        !run(QStringLiteral("chown"), {QStringLiteral("-R"), user() + ':', home}))
        return QStringLiteral("The servers' user cannot be given a password and a home.");
    if (!run(QStringLiteral("openssl"),
             {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
              "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
              "-keyout", path("server.key"), "-out", path("server.crt")}))
        return QStringLiteral("openssl cannot make the HTTPS server's certificate.");
    return {};
}

// The users of runs that ended without removing theirs: their process is gone.
void UploadServers::removeLeftUsers()
{
    QFile users(QStringLiteral("/etc/passwd"));
    if (!users.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : users.readAll().split('\n')) {
        const QString name = QString::fromLatin1(line.left(line.indexOf(':')));
        bool numeric = false;
        const int pid = name.mid(UserPrefix.size()).toInt(&numeric);
        if (name.startsWith(UserPrefix) && numeric && ::kill(pid, 0) != 0 && errno == ESRCH)
            run(QStringLiteral("userdel"), {QStringLiteral("--force"), name});
    }
}

QString UploadServers::start(Server server)
{
    if (!failure.isEmpty())
        return failure;
    if (processes[server] && processes[server]->state() == QProcess::Running)
        return {};
    ports[server] = freePort();
    const QString why = server == Https         ? startNginx()
                        : server == Sftp        ? startSshd()
                        : server == HttpsRanges ? startApache()
                                                : startVsftpd();
    if (!why.isEmpty())
        return why;
    QProcess *process = processes[server].get();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!process->waitForStarted())
        return process->program() + QStringLiteral(" does not start.");
    for (int tries = 0; tries < KroTest::WaitLimitMs / 100; ++tries) {
        if (accepts(ports[server]))
            return {};
        if (process->state() != QProcess::Running)
            return process->program() + QStringLiteral(" ended at once.");
        QTest::qWait(100);
    }
    return process->program() + QStringLiteral(" does not listen.");
}

// The server and each connection it forked go together: they share its process group.
void UploadServers::kill(Server server)
{
    QProcess *process = processes[server].get();
    if (!process || process->state() == QProcess::NotRunning)
        return;
    ::kill(-pid_t(process->processId()), SIGKILL);
    process->waitForFinished(KroTest::WaitLimitMs);
}

QString UploadServers::folderUrl(Server server) const
{
    const QString host = QStringLiteral("127.0.0.1:%1").arg(ports[server]);
    switch (server) {
    case Https:
    case HttpsRanges:
        return QStringLiteral("https://%1/%2/").arg(host, Uploads);
    case Sftp:
        return QStringLiteral("sftp://%1%2/%3/").arg(host, path(QStringLiteral("home")), Uploads);
    case Ftp:
        break;
    }
    return QStringLiteral("ftp://%1/%2/").arg(host, Uploads);
}

QString UploadServers::formUrl() const
{
    return QFile::exists(EchoModule)
               ? QStringLiteral("https://127.0.0.1:%1/form#post=report").arg(ports[Https])
               : QString();
}

QStringList UploadServers::posted() const
{
    QStringList bodies;
    const QDir folder(path(QStringLiteral("posted")));
    for (const QString &name : folder.entryList(QDir::Files))
        bodies.append(folder.filePath(name));
    return bodies;
}

QString UploadServers::stored(const QString &name) const
{
    return path(QStringLiteral("home/") + Uploads + '/' + name);
}

QString UploadServers::caFile() const
{
    return path(QStringLiteral("server.crt"));
}

bool UploadServers::trustSftpKey(const QString &knownHosts) const
{
    QFile key(path(QStringLiteral("hostkey.pub")));
    QFile hosts(knownHosts);
    QDir().mkpath(QFileInfo(knownHosts).absolutePath());
    return key.open(QIODevice::ReadOnly) && hosts.open(QIODevice::Append) &&
           hosts.write(QStringLiteral("[127.0.0.1]:%1 ").arg(ports[Sftp]).toUtf8() +
                       key.readAll()) > 0;
}

QString UploadServers::limitRoom(qint64 bytes)
{
    if (!failure.isEmpty())
        return failure;
    const passwd *account = ::getpwnam(user().toLocal8Bit().constData());
    const QByteArray options = QStringLiteral("size=%1,mode=0755,uid=%2,gid=%3")
                                   .arg(bytes)
                                   .arg(account ? account->pw_uid : 0)
                                   .arg(account ? account->pw_gid : 0)
                                   .toLatin1();
    const QByteArray folder = QFile::encodeName(path(QStringLiteral("home/") + Uploads));
    if (::mount("kro-upload-full", folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0)
        return QStringLiteral("No tmpfs can be mounted here: %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    mountedRoom = true;
    return {};
}

// Detached: a server's connection that still holds a file there cannot keep it mounted.
void UploadServers::freeRoom()
{
    if (mountedRoom)
        ::umount2(QFile::encodeName(path(QStringLiteral("home/") + Uploads)).constData(),
                  MNT_DETACH);
    mountedRoom = false;
}

// The user's password for the web servers' Basic authentication, as both read it.
bool UploadServers::writePasswords() const
{
    QProcess hash;
    hash.start(QStringLiteral("openssl"), {"passwd", "-apr1", "-stdin"});
    hash.write(secret.toUtf8() + '\n');
    hash.closeWriteChannel();
    return hash.waitForFinished() && hash.exitCode() == 0 &&
           writeFile(QStringLiteral("htpasswd"),
                     user() + ':' + QString::fromLatin1(hash.readAllStandardOutput()));
}

bool UploadServers::writeFile(const QString &name, const QString &text) const
{
    QFile file(path(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) > 0;
}

namespace {

// Each server in a process group of its own, so that kill() reaches what it forked.
std::unique_ptr<QProcess> leaderOf(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(QStringLiteral("setsid"));
    process->setArguments(QStringList{program} + arguments);
    return process;
}

} // namespace

// One process (no workers), so that killing it ends every connection as a crash would. The
// temporary folders nginx would otherwise make under /var/lib are the test's own.
QString UploadServers::startNginx()
{
    if (!QFile::exists(Nginx))
        return QStringLiteral("nginx is not installed.");
    // With the echo module, /form takes a POST and keeps its body in posted/ (a file per
    // request) as it came.
    const bool echo = QFile::exists(EchoModule);
    const QString form =
        echo ? QStringLiteral("    location = /form {\n      auth_basic kro;\n"
                              "      auth_basic_user_file %1/htpasswd;\n"
                              "      client_body_in_file_only on;\n"
                              "      client_body_temp_path %1/posted;\n"
                              "      echo_read_request_body;\n      echo stored;\n    }\n")
             : QString();
    const QString conf =
        (echo ? QStringLiteral("load_module %1;\n").arg(EchoModule) : QString()) +
        QStringLiteral(
            "daemon off;\nmaster_process off;\npid %1/nginx.pid;\nerror_log %1/nginx.log error;\n"
            "events {}\nhttp {\n  access_log off;\n  client_body_temp_path %1/body;\n"
            "  proxy_temp_path %1/proxy;\n  fastcgi_temp_path %1/fastcgi;\n"
            "  uwsgi_temp_path %1/uwsgi;\n  scgi_temp_path %1/scgi;\n"
            "  server {\n    listen 127.0.0.1:%2 ssl;\n    ssl_certificate %1/server.crt;\n"
            "    ssl_certificate_key %1/server.key;\n    client_max_body_size 0;\n"
            "    root %1/home;\n    location /%3/ {\n      dav_methods PUT;\n"
            "      auth_basic kro;\n      auth_basic_user_file %1/htpasswd;\n    }\n") +
        form + QStringLiteral("  }\n}\n");
    if (!writePasswords() || !writeFile(QStringLiteral("nginx.conf"),
                                        conf.arg(dir.path()).arg(ports[Https]).arg(Uploads)))
        return QStringLiteral("The HTTPS server's files cannot be written.");
    processes[Https] =
        leaderOf(Nginx, {"-e", path("nginx.log"), "-p", dir.path(), "-c", path("nginx.conf")});
    processes[Https]->start();
    return {};
}

// sshd needs root and its privilege separation folder; the folder is made only when missing
// (and then removed again), nothing of the machine's own sshd configuration is read.
QString UploadServers::startSshd()
{
    if (!QFile::exists(Sshd))
        return QStringLiteral("sshd (openssh-server) is not installed.");
    if (!QFile::exists(path(QStringLiteral("hostkey"))) &&
        !run(QStringLiteral("ssh-keygen"),
             {"-q", "-t", "ed25519", "-N", "", "-f", path(QStringLiteral("hostkey"))}))
        return QStringLiteral("ssh-keygen cannot make the SFTP server's key.");
    if (!QFileInfo::exists(PrivsepDir)) {
        if (!QDir().mkpath(PrivsepDir))
            return QStringLiteral("sshd's privilege separation folder cannot be made.");
        madePrivsepDir = true;
    }
    const QString conf = QStringLiteral(
        "ListenAddress 127.0.0.1:%2\nHostKey %1/hostkey\nPidFile %1/sshd.pid\nUsePAM no\n"
        "PasswordAuthentication yes\nKbdInteractiveAuthentication no\nPubkeyAuthentication no\n"
        "PermitRootLogin no\nAllowUsers %3\nStrictModes no\nUseDNS no\nLogLevel ERROR\n"
        "Subsystem sftp internal-sftp\n");
    if (!writeFile(QStringLiteral("sshd_config"),
                   conf.arg(dir.path()).arg(ports[Sftp]).arg(user())))
        return QStringLiteral("The SFTP server's configuration cannot be written.");
    processes[Sftp] = leaderOf(Sshd, {"-D", "-e", "-f", path("sshd_config")});
    processes[Sftp]->start();
    return {};
}

// vsftpd checks the password through PAM, as for any local user; no chroot, no sandbox (they
// need namespaces a container may not give).
QString UploadServers::startVsftpd()
{
    if (!QFile::exists(Vsftpd))
        return QStringLiteral("vsftpd is not installed.");
    QDir().mkpath(path(QStringLiteral("empty")));
    const QString conf = QStringLiteral(
        "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%2\nbackground=NO\n"
        "anonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\nlocal_umask=077\n"
        "pam_service_name=vsftpd\nsecure_chroot_dir=%1/empty\nseccomp_sandbox=NO\nisolate=NO\n"
        "isolate_network=NO\nxferlog_enable=NO\nvsftpd_log_file=%1/vsftpd.log\n"
        "pasv_address=127.0.0.1\nuserlist_enable=NO\n");
    if (!writeFile(QStringLiteral("vsftpd.conf"), conf.arg(dir.path()).arg(ports[Ftp])))
        return QStringLiteral("The FTP server's configuration cannot be written.");
    processes[Ftp] = leaderOf(Vsftpd, {path("vsftpd.conf")});
    processes[Ftp]->start();
    return {};
}

bool UploadServers::waitForSessionsToEnd() const
{
    const passwd *account = ::getpwnam(user().toLocal8Bit().constData());
    if (!account)
        return false;
    const QByteArray uid = "Uid:\t" + QByteArray::number(account->pw_uid) + '\t';
    const auto userHasProcesses = [&uid] {
        const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString &pid : pids) {
            QFile status(QStringLiteral("/proc/%1/status").arg(pid));
            if (status.open(QIODevice::ReadOnly) && status.readAll().contains(uid))
                return true;
        }
        return false;
    };
    for (int tries = 0; tries < KroTest::WaitLimitMs / 50; ++tries) {
        if (!userHasProcesses())
            return true;
        QTest::qWait(50);
    }
    return false;
}

// One process (-X), running as the servers' user, with its lock database in a folder of its own.
QString UploadServers::startApache()
{
    if (!QFile::exists(Apache))
        return QStringLiteral("Apache httpd (apache2) is not installed.");
    const QString runtime = path(QStringLiteral("apache"));
    QDir().mkpath(runtime);
    QStringList modules;
    for (const char *name : {"mpm_prefork", "authz_core", "authn_core", "authn_file", "authz_user",
                             "auth_basic", "dav", "dav_fs", "ssl"})
        modules.append(QStringLiteral("LoadModule %1_module %2mod_%1.so\n")
                           .arg(QLatin1String(name), ApacheModules));
    const QString conf =
        modules.join(QString()) +
        QStringLiteral("ServerRoot %1\nServerName 127.0.0.1\nListen 127.0.0.1:%2\n"
                       "DefaultRuntimeDir %1/apache\nPidFile %1/apache/httpd.pid\n"
                       "ErrorLog %1/apache.log\nUser %3\nGroup %3\n"
                       "DavLockDB %1/apache/davlock\nDocumentRoot %1/home\n"
                       "SSLEngine on\nSSLCertificateFile %1/server.crt\n"
                       "SSLCertificateKeyFile %1/server.key\n"
                       "<Location /%4/>\n  Dav On\n  AuthType Basic\n  AuthName kro\n"
                       "  AuthUserFile %1/htpasswd\n  Require valid-user\n</Location>\n");
    if (!writePasswords() || !run(QStringLiteral("chown"), {user() + ':' + user(), runtime}) ||
        !writeFile(QStringLiteral("apache.conf"),
                   conf.arg(dir.path()).arg(ports[HttpsRanges]).arg(user(), Uploads)))
        return QStringLiteral("The Apache server's files cannot be written.");
    processes[HttpsRanges] = leaderOf(Apache, {"-X", "-f", path("apache.conf")});
    processes[HttpsRanges]->start();
    return {};
}
