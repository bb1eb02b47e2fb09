// SPDX-License-Identifier: GPL-2.0-or-later
// Real servers for the upload tests, started on 127.0.0.1 with files of their own in one
// temporary folder: nginx taking WebDAV PUT over HTTPS (a certificate made with openssl), Apache
// httpd's mod_dav taking WebDAV PUT over HTTPS with Content-Range too, sshd for SFTP and vsftpd
// for FTP, all letting in one local user made for the test, whose home holds the uploads. Only root
// can make the user and run sshd and vsftpd; whatever cannot run tells why, for QSKIP. Nothing of
// the machine's own servers or their configuration is used.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class UploadServers
{
public:
    enum Server
    {
        Https,
        Sftp,
        Ftp,
        HttpsRanges,
    };

    UploadServers();
    ~UploadServers();

    // Starts the server unless it runs (again, after kill, on another port); empty when it
    // runs, otherwise why it cannot.
    QString start(Server server);
    // Ends the server at once, as a crash would, with every connection it has.
    void kill(Server server);

    // The URL of the folder that takes uploads.
    QString folderUrl(Server server) const;
    // The HTTPS server's form taking a POST in field "report", empty without nginx's echo
    // module; posted() lists the bodies it kept.
    QString formUrl() const;
    QStringList posted() const;
    // Where an upload of name lands on the server's side.
    QString stored(const QString &name) const;
    // kro-up-PID: runs in other build trees at the same time each have their own.
    QString user() const { return account; }
    QString password() const { return secret; }
    // The certificate of the HTTPS server, which is its own CA.
    QString caFile() const;
    // Waits until no process of the servers' user is left: each connection's own is gone.
    bool waitForSessionsToEnd() const;
    // Adds the SFTP server's key to the known hosts file.
    bool trustSftpKey(const QString &knownHosts) const;
    // A server whose disk is full: a tmpfs of bytes mounted over the folder that takes uploads
    // (empty when mounted, otherwise why not); freeRoom() takes it away again.
    QString limitRoom(qint64 bytes);
    void freeRoom();

private:
    QString prepare();
    static void removeLeftUsers();
    QString startNginx();
    QString startSshd();
    QString startVsftpd();
    QString startApache();
    QString path(const QString &name) const { return dir.filePath(name); }
    bool writeFile(const QString &name, const QString &text) const;
    bool writePasswords() const;

    QTemporaryDir dir;
    QString account;
    QString secret;
    QString failure;
    bool madeUser = false;
    bool madePrivsepDir = false;
    bool mountedRoom = false;
    int ports[4] = {};
    std::unique_ptr<QProcess> processes[4];
};
