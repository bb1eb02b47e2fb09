// SPDX-License-Identifier: GPL-2.0-or-later
// The one inspection surface of the main window for tests and benchmarks: the state the window
// keeps outside its form (folders, the report run, archives, the reboot flag and the debug
// modules) and the private steps that they drive directly. Widgets of the form are reached by
// their object names instead.
#pragma once

#include "afterfirstpaint.h"
#include "collectflow.h"
#include "debugmoduleloader.h"
#include "debugpage.h"
#include "mainwindow.h"
#include "reportprogressdialog.h"
#include "reportrun.h"
#include "reportspage.h"

#include <QEventLoop>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

class MainWindowAccess
{
public:
    // True once the window has done what waits for its first paint (filling the reports table
    // and the module list, asking about a run); show the window and wait for it.
    static bool isStarted(const MainWindow &window)
    {
        return !window.findChild<AfterFirstPaint *>(QString(), Qt::FindDirectChildrenOnly);
    }

    // True once the reports table holds every row of its last fill with their details, and
    // the window's start-up work is done.
    static bool isFilled(const MainWindow &window)
    {
        return isStarted(window) && !window.reportsPage->isFilling();
    }

    // Folders
    static QStringList &reportDirs(MainWindow &window) { return window.reportDirs; }
    static QStringList &debugModuleDirs(MainWindow &window) { return window.debugModuleDirs; }

    // Scans only the given folders from now on, so that the real /tmp never takes part.
    static void useReportDirs(MainWindow &window, const QStringList &dirs)
    {
        window.reportDirs = dirs;
        window.refillReportsTable();
    }

    // Report run
    static qint64 reportPid(const MainWindow &window) { return window.reportRun->pid(); }
    static QTimer *checkTimer(const MainWindow &window) { return window.checkTimer; }
    static QTimer *unlockTimer(const MainWindow &window) { return window.unlockTimer; }
    static QProcess *psProcess(const MainWindow &window) { return window.psProcess; }
    static QProgressDialog *progressDialog(const MainWindow &window)
    {
        return window.progressDialog;
    }

    // Collection from several machines
    static CollectFlow *collectFlow(const MainWindow &window) { return window.collectFlow; }
    static QString currentReport(const MainWindow &window)
    {
        return window.reportsPage->currentReport();
    }

    // Watches a run started elsewhere as if the window had started it.
    static void watchRun(MainWindow &window, qint64 pid) { window.reportRun->follow(pid); }

    // Archives and errors
    static const QMultiMap<QString, QString> &volumeParts(const MainWindow &window)
    {
        return window.volumeParts;
    }
    static bool permAskAgain(const MainWindow &window) { return window.permAskAgain; }
    static void makeReadable(MainWindow &window, const QStringList &files,
                             const std::function<void()> &then)
    {
        window.makeReadable(files, then);
    }
    static QString dbusErrorText(const MainWindow &window, int errorNumber)
    {
        return window.dbusErrorText(errorNumber);
    }

    // Services debugging
    static QString &rebootFlagFile(MainWindow &window) { return window.paths.rebootFlagFile; }
    static QString &rebootFlagWorkingCopy(MainWindow &window)
    {
        return window.paths.rebootFlagWorkingCopy;
    }
    // Rebuilds the module list and waits until it is complete.
    static void fillDebugModules(MainWindow &window)
    {
        window.fillDebugModules();
        waitForDebugModules(window);
    }
    // Waits until the module list being read (at start-up, say) is complete.
    static void waitForDebugModules(MainWindow &window)
    {
        const DebugModuleLoader *loader = window.debugPage->loader();
        if (!loader || !loader->isLoading())
            return;
        QEventLoop loop;
        // Connected after the page, so the loop ends once the page has taken them over.
        QObject::connect(loader, &DebugModuleLoader::loaded, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    static const QList<DebugModuleObject *> &debugModules(const MainWindow &window)
    {
        return window.debugPage->modules();
    }
    static ChangesWidget *changesWidget(const MainWindow &window) { return window.changesWidget; }
    static SystemPaths &paths(MainWindow &window) { return window.paths; }
};
