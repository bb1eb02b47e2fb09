// SPDX-License-Identifier: GPL-2.0-or-later
// The report run, followed through the helper's record of it, and the reports table.
#include "mainwindow.h"

#include "afterfirstpaint.h"
#include "collectflow.h"
#include "constants.h"
#include "dbusservice.h"
#include "extsettwidget.h"
#include "reportnames.h"
#include "reportprogressdialog.h"
#include "reportrun.h"
#include "reportspage.h"
#include "sosarguments.h"
#include "sosoptions.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

void MainWindow::collectReports()
{
    // One run at a time: the window follows one already.
    if (reportRun->isFollowed() || reportRun->isStarting())
        return;
    // The pane's map is taken once, so that the arguments and the stored settings agree.
    QVariantMap extSettings;
    if (extSettOpened)
        extSettings = extSettWidget->getExtSettings();
    // Until the helper answers (perhaps after a password), no second run can be asked for.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui->saveAction->setEnabled(false);
    reportRun->start(extendedArguments(extSettings), volumeSizeAfterRun(extSettings),
                     [this, extSettings](bool started) {
                         QApplication::restoreOverrideCursor();
                         if (!started) {
                             ui->saveAction->setEnabled(!reportRun->isFollowed());
                             return;
                         }
                         if (extSettOpened) {
                             prevExtSettings = extSettings;
                             extSettWidget->setPreviousEnabled(true);
                             // Writing the store waits for the disk: not in the frame that
                             // shows the locked window. Written also when the window has gone.
                             afterRepaint(qApp, [extSettings] {
                                 QSettings().setValue(Kro::ExtSettingsKey, extSettings);
                             });
                         }
                     });
}

void MainWindow::setUpReportRun()
{
    checkTimer = new QTimer;
    connect(checkTimer, &QTimer::timeout, this, &MainWindow::checkReportIsReady);
    checkTimer->setInterval(1000);
    unlockTimer = new QTimer;
    connect(unlockTimer, &QTimer::timeout, this, &MainWindow::unlockInterface);
    unlockTimer->setInterval(300000);
    psProcess = new QProcess;
    psProcess->setProgram(Kro::PsProgram);
    connect(psProcess, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &MainWindow::readPsAnswer);

    reportRun = new ReportRun(
        *dbusService, *checkTimer, *unlockTimer, *psProcess, [this] { return !isActiveWindow(); },
        this);
    connect(reportRun, &ReportRun::started, this, &MainWindow::lockForRun);
    connect(reportRun, &ReportRun::stalled, this, &MainWindow::unlockStalledRun);
    connect(reportRun, &ReportRun::ended, this, &MainWindow::endRun);
    // A failure at the run's end is told once the window is unlocked, which waits for the
    // refilled table's repaint.
    connect(reportRun, &ReportRun::helperFailed, this, [this](const KroAdmin::HelperReply &reply) {
        afterRepaint(this, [this, reply] { showDbusFailure(reply); });
    });
}

void MainWindow::lockForRun()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    ui->saveAction->setEnabled(false);
    if (!progressDialog)
        progressDialog = new ReportProgressDialog(*reportRun, this);
}

void MainWindow::checkReportIsReady()
{
    reportRun->check();
}

void MainWindow::readPsAnswer()
{
    reportRun->readPsAnswer();
}

void MainWindow::unlockInterface()
{
    if (!isEnabled())
        reportRun->checkStall();
}

void MainWindow::unlockStalledRun()
{
    setEnabled(true);
    QMessageBox::warning(this, tr("Attention!"),
                         tr("Perhaps the collection of information took\ntoo long or there was "
                            "\na finish detection error.\nThe interface will be unlocked."),
                         QMessageBox::Ok);
}

void MainWindow::endRun(ReportRun::Outcome outcome, const QString &archive, const QString &text)
{
    QApplication::restoreOverrideCursor();
    ui->saveAction->setEnabled(true);
    switch (outcome) {
    // Refilling the table and unlocking the whole window are each a frame's work.
    case ReportRunWatch::Succeeded:
        showNewArchive(archive, text);
        afterRepaint(this, [this] { unlockAfterRun(); });
        break;
    case ReportRunWatch::Unknown:
        refillReportsTable();
        afterRepaint(this, [this] { unlockAfterRun(); });
        break;
    case ReportRunWatch::Failed:
        unlockAfterRun();
        showError(tr("Error"), text);
        break;
    case ReportRunWatch::Stopped:
        unlockAfterRun();
        statusBar()->showMessage(tr("Collecting the report was stopped; no report was made."));
        break;
    case ReportRunWatch::Running:
        unlockAfterRun();
        break;
    }
}

void MainWindow::unlockAfterRun()
{
    // A run started meanwhile keeps the window locked.
    if (reportRun->isFollowed())
        return;
    setEnabled(true);
}

// Closing never stops the run: the question says so, and keeping the window is the default.
bool MainWindow::confirmCloseDuringRun()
{
    QMessageBox box(QMessageBox::Question, tr("Attention!"),
                    tr("Probably, report is not ready yet.\nAre you sure you want to interrupt the "
                       "program?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setInformativeText(tr("The report goes on being collected after the window closes; the "
                              "next start of the program shows how it went. Choose No to keep "
                              "watching it here."));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::showNewArchive(const QString &archive, const QString &saved)
{
    refillReportsTable();
    selectReport(archive);
    reportsPage->announce(archive, saved);
}

bool MainWindow::selectReport(const QString &path)
{
    return reportsPage->select(path);
}

void MainWindow::setUpCollection()
{
    collectFlow = new CollectFlow(this, ui->collectAction, reportDirs, this);
    connect(collectFlow, &CollectFlow::localReportWanted, this, &MainWindow::runLocalReport);
    connect(collectFlow, &CollectFlow::archiveReady, this, &MainWindow::showNewArchive);
}

// This machine's part of a collection is a report like any other, made through the helper.
void MainWindow::runLocalReport(const QVariantMap &reportOptions)
{
    if (reportRun->isFollowed() || reportRun->isStarting())
        return;
    reportRun->start(SosArguments::fromSettings(installedSosOptions()->acceptedOnly(reportOptions)),
                     0);
}
