// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadjob.h"

#include <QThread>
#include <memory>
#include <sched.h>

UploadJob::UploadJob(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<UploadResult>();
}

UploadJob::~UploadJob()
{
    // The threads are children of the job, deleted with it once the running one has ended.
    if (thread) {
        transfer->stop();
        thread->wait();
    }
}

void UploadJob::start(const UploadRequest &request)
{
    if (transfer)
        return;
    transfer = std::make_unique<UploadTransfer>(request);
    UploadTransfer *running = transfer.get();
    auto result = std::make_shared<UploadResult>();
    // What the worker reports is queued to this object, and dropped with it.
    thread = QThread::create([this, running, result] {
        // Work that never waits for the user: the window's thread goes first whenever it wakes.
        const sched_param batch{};
        ::sched_setscheduler(0, SCHED_BATCH, &batch);
        *result = running->run([this](qint64 sent, qint64 total, double rate) {
            QMetaObject::invokeMethod(
                this, [this, sent, total, rate] { emit progressed(sent, total, rate); },
                Qt::QueuedConnection);
        });
    });
    thread->setParent(this);
    // The end is told once the worker is through; the window's thread never waits for it.
    connect(thread, &QThread::finished, this, [this, result] { end(*result); });
    thread->start();
}

void UploadJob::stop()
{
    if (transfer)
        transfer->stop();
}

void UploadJob::end(const UploadResult &result)
{
    // Past its finished signal the thread only returns: deleting it later waits for no more.
    thread->deleteLater();
    thread = nullptr;
    transfer.reset();
    emit finished(result);
}
