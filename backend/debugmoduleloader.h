// SPDX-License-Identifier: GPL-2.0-or-later
// Reads every debug module of a list of folders on a worker thread, with the state of each
// module detected from its configuration files, and hands the modules back on the thread that
// asked, so that a long list or a slow disk never holds up the window.
#pragma once

#include "backstage.h"

#include <QObject>
#include <QStringList>
#include <QVector>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

// One module file in listing order: the module read from it, or the warning about it. The
// warnings about folders come first, without a module.
struct DebugModuleEntry
{
    DebugModuleObject *module = nullptr;
    Backstage::Warning warning;
};
using DebugModuleEntries = QVector<DebugModuleEntry>;

class DebugModuleLoader : public QObject
{
    Q_OBJECT

public:
    // Says on the worker whether a package a module names is installed; it may take its time
    // (read the package database, say), and is called for each module that names one.
    using PackageCheck = std::function<bool(const QString &package)>;

    explicit DebugModuleLoader(QObject *parent = nullptr);
    // Waits for the worker, which stops at the next file, and deletes what it read.
    ~DebugModuleLoader() override;

    // Starts reading; a reading still under way is given up and its modules deleted.
    void load(const QStringList &dirs, const PackageCheck &isInstalled);
    // Whether a reading was started and its modules are not handed over yet.
    bool isLoading() const { return worker != nullptr; }

    // The reading itself, on the calling thread; a set flag stops it at the next file.
    static DebugModuleEntries read(const QStringList &dirs, const PackageCheck &isInstalled,
                                   const std::atomic_bool &stop);

signals:
    // Every module of the last load, in listing order; the receiver takes them over.
    void loaded(const DebugModuleEntries &entries);

private:
    struct Job;

    void start();
    void finish();
    static void discard(const DebugModuleEntries &entries);

    QThread *worker = nullptr;
    std::shared_ptr<Job> job;
    // The load asked for while the worker was still busy with an earlier one.
    std::shared_ptr<Job> next;
};
