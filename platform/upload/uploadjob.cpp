// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadjob.h"

#include <QThread>
#include <sched.h>

UploadJob::UploadJob(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<UploadResult>();
}

UploadJob::~UploadJob()
{
    if (!thread)
        return;
    transfer->stop();
    thread->wait();
    delete thread;
}

void UploadJob::start(const UploadRequest &request)
{
    if (transfer)
        return;
    transfer = std::make_unique<UploadTransfer>(request);
    UploadTransfer *running = transfer.get();
    // What the worker reports is queued to this object, and dropped with it.
    thread = QThread::create([this, running] {
        // Work that never waits for the user: the window's thread goes first whenever it wakes.
        const sched_param batch{};
        ::sched_setscheduler(0, SCHED_BATCH, &batch);
        const UploadResult result = running->run([this](qint64 sent, qint64 total, double rate) {
            QMetaObject::invokeMethod(
                this, [this, sent, total, rate] { emit progressed(sent, total, rate); },
                Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, result] { end(result); }, Qt::QueuedConnection);
    });
    thread->start();
}

void UploadJob::stop()
{
    if (transfer)
        transfer->stop();
}

void UploadJob::end(const UploadResult &result)
{
    thread->wait();
    delete thread;
    thread = nullptr;
    transfer.reset();
    emit finished(result);
}
