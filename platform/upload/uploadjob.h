// SPDX-License-Identifier: GPL-2.0-or-later
// An upload on a worker thread of its own, so that the thread that starts it never waits for
// the network: progress arrives a few times a second and the end once, both in the starting
// object's thread. Stop ends the transfer within a second; destroying the job stops it too.
#pragma once

#include "uploadtransfer.h"

#include <QObject>
#include <memory>

class QThread;

class UploadJob : public QObject
{
    Q_OBJECT

public:
    explicit UploadJob(QObject *parent = nullptr);
    ~UploadJob() override;

    // Starts the upload; a job runs one upload at a time.
    void start(const UploadRequest &request);
    void stop();
    bool isRunning() const { return transfer != nullptr; }

signals:
    void progressed(qint64 sent, qint64 total, double bytesPerSecond);
    void finished(const UploadResult &result);

private:
    void end(const UploadResult &result);

    std::unique_ptr<UploadTransfer> transfer;
    QThread *thread = nullptr;
};
