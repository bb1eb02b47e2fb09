// SPDX-License-Identifier: GPL-2.0-or-later
// Uploading a report to a support server, for reports too large to mail: asks where to and the
// password, lets the user read a report of root's first (through the window's read-access step),
// sends the report's files one after the other on a worker thread with a progress dialog, and
// ends with one box that names what arrived where, or says in the user's words what went wrong
// and what to do. A stopped or broken-off upload goes on where it stopped the next time the same
// report goes to the same server, where the protocol allows.
#pragma once

#include "uploadtransfer.h"

#include <QMultiMap>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

class UploadJob;
class UploadProgressDialog;
class QWidget;

class Upload : public QObject
{
    Q_OBJECT

public:
    // Runs then once the user can read every file of the report (the archive and its volumes,
    // asked for together), or not at all when the user declined.
    using ReadAccess =
        std::function<void(const QStringList &files, const std::function<void()> &then)>;
    using CaseId = std::function<QString()>;

    // volumeParts is the window's volume map, read when an upload starts.
    Upload(QWidget *window, const QMultiMap<QString, QString> &volumeParts, ReadAccess readAccess,
           CaseId caseId);

    // Uploads the report at path with its volumes; nothing is done for a report that changed.
    void start(const QString &path);
    bool isRunning() const;
    // Whether the window may close: asks first while an upload runs (closing stops it).
    bool mayEnd() const;

signals:
    // The files began their way to the server.
    void started();
    // An upload ended, whatever its outcome; the box about it has been closed.
    void ended(const UploadResult &result);

private:
    void sendFiles();
    void sendNext();
    void showProgress(qint64 sent, qint64 total, double bytesPerSecond);
    void fileSent(const UploadResult &result);
    void finish(const UploadResult &last);
    void tellArrived();
    void tellFailure(const UploadResult &result);
    bool askToTrust(const UploadResult &result);
    QString resumeKey(const QString &file) const;

    QWidget *window;
    const QMultiMap<QString, QString> &volumeParts;
    ReadAccess readAccess;
    CaseId caseId;
    UploadJob *job;
    UploadProgressDialog *progress = nullptr;
    // From the first file's start to the end box.
    bool sending = false;
    // The upload under way: every file of the report, the one being sent and what went before.
    UploadRequest request;
    QString caseIdNow;
    // Counts the uploads asked for, so that only the last one starts.
    int attempts = 0;
    QStringList files;
    int current = 0;
    qint64 doneBytes = 0;
    qint64 totalBytes = 0;
    QList<UploadResult> arrived;
    // Files whose upload to a destination broke off: the next upload there goes on from the
    // server's copy.
    QSet<QString> interrupted;
    // Server folders that had part of a file but did not take the rest: asked no more.
    QSet<QString> wholeOnly;
};
