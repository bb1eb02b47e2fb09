// SPDX-License-Identifier: GPL-2.0-or-later
// Tells when a report folder changed, so that an archive made or removed outside the window
// shows at once. A burst of changes (sos writing, /tmp in daily use) is told once, a moment
// after its first change.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class ReportsFolderWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ReportsFolderWatcher(QObject *parent = nullptr);

    // Watches exactly these folders from now on (those that exist).
    void watch(const QStringList &folders);

signals:
    void foldersChanged();

private:
    QFileSystemWatcher watcher;
    QTimer quiet; // runs from a first change until the burst is told
};
