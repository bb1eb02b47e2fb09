// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportsfolderwatcher.h"

#include <QFileInfo>

namespace {

const int QuietMs = 300;

} // namespace

ReportsFolderWatcher::ReportsFolderWatcher(QObject *parent) : QObject(parent)
{
    quiet.setSingleShot(true);
    quiet.setInterval(QuietMs);
    // Not restarted by later changes: a folder that never rests is still shown every moment.
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!quiet.isActive())
            quiet.start();
    });
    connect(&quiet, &QTimer::timeout, this, &ReportsFolderWatcher::foldersChanged);
}

void ReportsFolderWatcher::watch(const QStringList &folders)
{
    QStringList wanted;
    for (const QString &folder : folders)
        if (QFileInfo(folder).isDir())
            wanted.append(QFileInfo(folder).absoluteFilePath());
    const QStringList watched = watcher.directories();
    for (const QString &folder : watched)
        if (!wanted.contains(folder))
            watcher.removePath(folder);
    for (const QString &folder : qAsConst(wanted))
        if (!watched.contains(folder))
            watcher.addPath(folder);
}
