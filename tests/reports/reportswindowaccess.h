// SPDX-License-Identifier: GPL-2.0-or-later
// Lets the report tests and the listing benchmark reach the window's report state: the folders
// to scan (so that the real /tmp never takes part), the volume map and the run's timers.
#pragma once

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QProgressDialog>
#include <QTimer>

class ReportsWindowAccess
{
public:
    static QStringList &reportDirs(MainWindow &window) { return window.reportDirs; }
    static QMultiMap<QString, QString> &volumeParts(MainWindow &window)
    {
        return window.volumeParts;
    }
    static Ui::AppSkeleton *ui(MainWindow &window) { return window.ui; }
    static QTimer *checkTimer(MainWindow &window) { return window.checkTimer; }
    static QTimer *unlockTimer(MainWindow &window) { return window.unlockTimer; }
    static QProgressDialog *progressDialog(MainWindow &window) { return window.progressDialog; }
    static qint64 reportPid(MainWindow &window) { return window.reportPid; }
    static bool permAskAgain(MainWindow &window) { return window.permAskAgain; }
    static bool makeReadable(MainWindow &window, const QString &path)
    {
        return window.makeReadable(path);
    }

    // Watches a run started elsewhere as if the window had started it.
    static void watchRun(MainWindow &window, qint64 pid)
    {
        window.reportPid = pid;
        window.checkTimer->start();
    }

    // Scans only the given folders from now on.
    static void useReportDirs(MainWindow &window, const QStringList &dirs)
    {
        window.reportDirs = dirs;
        window.refillReportsTable();
    }
};
