// SPDX-License-Identifier: GPL-2.0-or-later
#include "debugmoduleloader.h"

#include "changestatedetector.h"

#include <QThread>

// One load: what it reads, and what it read; the worker owns it while it runs.
struct DebugModuleLoader::Job
{
    QStringList dirs;
    PackageCheck isInstalled;
    std::atomic_bool stop{false};
    DebugModuleEntries entries;
};

DebugModuleLoader::DebugModuleLoader(QObject *parent) : QObject(parent) {}

DebugModuleLoader::~DebugModuleLoader()
{
    if (!worker)
        return;
    job->stop = true;
    worker->wait();
    delete worker;
    discard(job->entries);
}

void DebugModuleLoader::load(const QStringList &dirs, const PackageCheck &isInstalled)
{
    auto request = std::make_shared<Job>();
    request->dirs = dirs;
    request->isInstalled = isInstalled;
    if (worker) {
        job->stop = true;
        next = request;
        return;
    }
    job = request;
    start();
}

void DebugModuleLoader::start()
{
    QThread *const home = thread();
    worker = QThread::create([running = job, home] {
        running->entries = read(running->dirs, running->isInstalled, running->stop);
        // The modules are made here but live on with the receiver.
        for (const DebugModuleEntry &entry : qAsConst(running->entries))
            if (entry.module)
                entry.module->moveToThread(home);
    });
    connect(worker, &QThread::finished, this, &DebugModuleLoader::finish);
    worker->start();
}

void DebugModuleLoader::finish()
{
    worker->wait();
    delete worker;
    worker = nullptr;
    const std::shared_ptr<Job> done = std::move(job);
    if (next) {
        discard(done->entries);
        job = std::move(next);
        start();
        return;
    }
    emit loaded(done->entries);
}

void DebugModuleLoader::discard(const DebugModuleEntries &entries)
{
    for (const DebugModuleEntry &entry : entries)
        delete entry.module;
}

// The states are detected after all the files are read, so that each configuration file is
// read once for the changes of all the modules.
DebugModuleEntries DebugModuleLoader::read(const QStringList &dirs, const PackageCheck &isInstalled,
                                           const std::atomic_bool &stop)
{
    QVector<Backstage::Warning> warnings;
    const QStringList files = Backstage::listDebugModuleFiles(dirs, warnings);
    DebugModuleEntries entries;
    for (const Backstage::Warning &warning : qAsConst(warnings))
        entries.append({nullptr, warning});

    ChangeStateDetector detector;
    QVector<int> firstChanges(entries.size(), 0);
    for (const QString &path : files) {
        if (stop)
            break;
        DebugModuleEntry entry;
        entry.module = Backstage::parseDebugModule(path, entry.warning);
        firstChanges.append(detector.size());
        if (entry.module && !entry.module->package().isEmpty())
            entry.module->setInstalled(isInstalled(entry.module->package()));
        if (entry.module)
            for (const FileChange &change : entry.module->fileChanges())
                detector.add(change);
        entries.append(entry);
    }
    detector.run(&stop);
    for (int i = 0; i < entries.size(); ++i) {
        if (DebugModuleObject *module = entries.at(i).module)
            module->setState(
                detector.moduleState(firstChanges.at(i), module->fileChanges().size()));
    }
    return entries;
}
