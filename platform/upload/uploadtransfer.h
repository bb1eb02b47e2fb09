// SPDX-License-Identifier: GPL-2.0-or-later
// One upload of a file with libcurl, from start to end in one blocking call: meant for a worker
// thread (UploadJob runs it on one). It reads the file as the user running it, reports progress
// through a callback, ends early when stopped, goes on where the server's copy ends when asked
// to resume (SFTP, FTP; HTTP with Content-Range where the server keeps a part and takes the
// rest), verifies TLS servers against the system's certificates plus an optional
// extra CA file and SFTP servers against the user's known hosts, and sums the file's SHA-256 in a
// thread beside the transfer.
#pragma once

#include "uploadtarget.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <atomic>
#include <functional>

struct UploadRequest
{
    QString file;
    UploadTarget target;
    QString remoteName;
    QString user;
    QString password;
    QString caFile;
    // Go on from the end of the server's copy instead of writing it anew.
    bool resume = false;
    // An SFTP server's key the user accepted: it is added to the known hosts.
    QByteArray acceptedHostKey;
    // Empty: ~/.ssh/known_hosts.
    QString knownHostsFile;
};

struct UploadResult
{
    enum class Outcome
    {
        Done,
        Stopped,
        WrongPassword,
        Unreachable,
        CertificateUntrusted,
        // An SFTP server whose key is not among the known hosts: hostKey and fingerprint say
        // which key it showed.
        HostKeyUnknown,
        // An SFTP server whose key differs from the one known for it.
        HostKeyChanged,
        ServerFull,
        // The server failed to store what it took (HTTP 5xx, FTP 451, an SFTP or FTP server
        // that ended the transfer but still answers): often a full disk it does not name.
        ServerFault,
        Refused,
        ConnectionLost,
        FileUnreadable,
        CaFileUnreadable,
        Failed,
    };

    Outcome outcome = Outcome::Failed;
    QString destination;
    qint64 size = 0;
    // Where the transfer began: non-zero when it went on from the server's copy.
    qint64 resumedAt = 0;
    // The server had part of the file but did not take the rest: all of it was sent again.
    bool restarted = false;
    // The server's answer: the HTTP status and the start of its text.
    QString serverAnswer;
    // SHA-256 of the whole file, in hexadecimal, once it was read to the end.
    QByteArray sha256;
    // libcurl's own words, for the details.
    QString detail;
    QByteArray hostKey;
    QString fingerprint;
};
Q_DECLARE_METATYPE(UploadResult)

class UploadTransfer
{
public:
    // sent counts from the start of the file; bytesPerSecond is the rate of this transfer.
    using Progress = std::function<void(qint64 sent, qint64 total, double bytesPerSecond)>;

    // progress is called once the first bytes are out, then at most every intervalMs, and once
    // more at the end of a complete upload.
    explicit UploadTransfer(UploadRequest request, int intervalMs = ProgressIntervalMs);
    // Runs the upload to its end.
    UploadResult run(const Progress &progress);
    // From any thread: the transfer stops at libcurl's next progress call (at least once a
    // second, also while the server does not read).
    void stop() { stopRequested = true; }

    static constexpr int ProgressIntervalMs = 200;

    // What libcurl's callbacks share during one run.
    struct Session;

private:
    UploadResult runFrom(qint64 from, const Progress &progress, bool &rangeRefused);
    bool sendRest(Session &session, qint64 from) const;
    bool configureConnection(Session &session) const;
    bool configure(Session &session) const;
    void configureSecurity(Session &session) const;
    void finish(Session &session, int code) const;
    bool startQuestion(Session &question) const;
    UploadResult::Outcome whyBrokenOff(qint64 size) const;
    // The size of the server's copy (HTTP HEAD), -1 without one.
    qint64 serverPart() const;

    UploadRequest request;
    int intervalMs;
    std::atomic_bool stopRequested{false};
};
