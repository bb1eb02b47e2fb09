// SPDX-License-Identifier: GPL-2.0-or-later
// The report run, followed through the helper's record of it, and the reports table.
#include "mainwindow.h"

#include "backstage.h"
#include "constants.h"
#include "dbusservice.h"
#include "desktopnotifier.h"
#include "extsettwidget.h"
#include "helperprotocol.h"
#include "reportnames.h"
#include "reportstabledetails.h"
#include "reportstablefiller.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

namespace {

// What the bus answers for a name nobody holds when it may not start the service; Qt files it
// under QDBusError::Other.
const QString NameHasNoOwnerError = QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");

QString collectingText()
{
    return MainWindow::tr("Information is being collected. \nPlease, wait.");
}

} // namespace

void MainWindow::collectReports()
{
    // One run at a time: the window follows one already.
    if (checkTimer->isActive())
        return;
    // The pane's map is taken once, so that the arguments and the stored settings agree.
    QVariantMap extSettings;
    if (extSettWidget)
        extSettings = extSettWidget->getExtSettings();
    startReportRun(extendedArguments(extSettings), [this, extSettings](bool started) {
        if (!started)
            return;
        splitVolumeMiB = volumeSizeAfterRun(extSettings);
        if (extSettWidget) {
            prevExtSettings = extSettings;
            extSettWidget->setPreviousEnabled(true);
            QSettings().setValue(Kro::ExtSettingsKey, prevExtSettings);
        }
    });
}

void MainWindow::startReportRun(const QStringList &arguments,
                                const std::function<void(bool started)> &started)
{
    if (checkTimer->isActive()) {
        if (started)
            started(false);
        return;
    }
    // Until the helper answers (perhaps after a password), no second run can be asked for.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui->saveAction->setEnabled(false);
    // A question about runs asked meanwhile could be answered with this very run and follow it
    // twice: none is asked until the helper has answered, and it is asked again on a refusal.
    runStarting = true;
    delete runQuery;
    runQuery = nullptr;
    claimDbusService();
    dbusService->execSmthDetachedWithArgs(
        Kro::SosreportProgram, QStringList{Kro::BatchOption} + arguments, this,
        [this, started](const KroAdmin::HelperReply &reply) {
            ui->saveAction->setEnabled(true);
            runStarting = false;
            const bool running = reply.succeeded() && reply.pid >= 0;
            if (running) {
                runWatch = ReportRunWatch();
                splitVolumeMiB = 0;
                lockForRun();
                followRun(reply.pid);
            } else {
                QApplication::restoreOverrideCursor();
                showDbusFailure(reply);
                queryRun();
            }
            if (started)
                started(running);
        });
}

void MainWindow::lockForRun()
{
    setEnabled(false);
    ui->saveAction->setEnabled(false);
    unlockTimer->start();
    showProgressDialog();
}

void MainWindow::followRun(qint64 pid)
{
    // An answer asked for before this run started would tell of another one.
    delete runQuery;
    runQuery = nullptr;
    reportPid = pid;
    checkTimer->start();
}

void MainWindow::adoptRun()
{
    splitVolumeMiB = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lockForRun();
    followRun(runWatch.processId());
    showRunProgress();
}

void MainWindow::showProgressDialog()
{
    if (!progressDialog) {
        progressDialog = new QProgressDialog(this, Qt::WindowFlags());
        // Reaching the last plugin is not the end of the run.
        progressDialog->setAutoReset(false);
        // Escape and Stop cancel the dialog, which hides it; it shows again while the window is
        // locked, and only Stop asks to end the run.
        auto *stop = new QPushButton(tr("Stop"));
        progressDialog->setCancelButton(stop);
        connect(progressDialog, &QProgressDialog::canceled, this, &MainWindow::keepProgressShown);
        connect(stop, &QPushButton::clicked, this, &MainWindow::confirmStop);
    }
    progressDialog->setRange(0, 0);
    progressDialog->setWindowTitle(tr("Long operation..."));
    progressDialog->setLabelText(collectingText());
    progressDialog->show();
    // The window, its parent, is disabled while the run lasts.
    progressDialog->setEnabled(true);
}

void MainWindow::showRunProgress()
{
    // Once the window was unlocked, the run goes on without the dialog.
    if (!progressDialog || isEnabled())
        return;
    const int percent = runWatch.percent();
    if (percent >= 0) {
        progressDialog->setRange(0, 100);
        progressDialog->setValue(percent);
    }
    progressDialog->setLabelText(collectingText() + '\n' + runWatch.progressText());
    keepProgressShown();
}

void MainWindow::keepProgressShown()
{
    if (!isEnabled())
        progressDialog->show();
}

void MainWindow::confirmStop()
{
    const auto answer =
        QMessageBox::question(progressDialog, tr("Attention!"), tr("Stop collecting the report?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        runWatch.markStopRequested();
        dbusService->stopReportRun();
    }
}

void MainWindow::checkReportIsReady()
{
    if (!checkTimer || !psProcess)
        return;
    if (reportPid < 1) {
        checkTimer->stop();
        return;
    }
    if (psProcess->state() == QProcess::NotRunning)
        queryRun();
}

void MainWindow::queryRun()
{
    if (runQuery || runStarting)
        return;
    runQuery = new QDBusPendingCallWatcher(dbusService->queryReportRun(), this);
    connect(runQuery, &QDBusPendingCallWatcher::finished, this, &MainWindow::followRunState);
}

void MainWindow::followRunState(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    runQuery = nullptr;
    const QDBusPendingReply<QVariantMap> reply = *call;
    if (reply.isError()) {
        // The helper forgot the run or is gone (restarted or killed, say): ps tells whether it
        // runs.
        const bool forgotten = reply.error().name() == HelperProtocol::NoRunError ||
                               reply.error().name() == NameHasNoOwnerError ||
                               reply.error().type() == QDBusError::ServiceUnknown;
        if (reportPid > 0 && forgotten) {
            runWatch.forget();
            psProcess->setArguments(ReportRunWatch::psArguments(reportPid));
            psProcess->start(QIODevice::ReadOnly);
        }
        return;
    }
    runWatch.update(reply.value());
    if (reportPid < 1) {
        if (runWatch.isRunning())
            adoptRun();
    } else if (runWatch.isRunning()) {
        showRunProgress();
    } else {
        finishRun();
    }
}

void MainWindow::readPsAnswer()
{
    if (psProcess->exitStatus() != QProcess::NormalExit || reportPid < 1 ||
        ReportRunWatch::psShowsRunning(psProcess->readAllStandardOutput()))
        return;
    finishRun();
}

void MainWindow::finishRun()
{
    endRun();
    switch (runWatch.outcome()) {
    case ReportRunWatch::Succeeded:
        notifyIfAway(tr("The report is ready"), runWatch.savedText());
        // Tells reportRunEnded once the archive is in its place.
        presentNewArchive();
        return;
    case ReportRunWatch::Failed:
        notifyIfAway(tr("The report could not be collected"), runWatch.failureText());
        showError(tr("Error"), runWatch.failureText());
        break;
    case ReportRunWatch::Unknown:
        refillReportsTable();
        break;
    case ReportRunWatch::Running:
    case ReportRunWatch::Stopped:
        break;
    }
    emit reportRunEnded(QString());
}

void MainWindow::endRun()
{
    QApplication::restoreOverrideCursor();
    // Hides the dialog and keeps it from showing itself later.
    if (progressDialog)
        progressDialog->reset();
    setEnabled(true);
    ui->saveAction->setEnabled(true);
    checkTimer->stop();
    unlockTimer->stop();
    reportPid = -1;
}

// A user who went elsewhere during a long run learns from the desktop that it has ended.
void MainWindow::notifyIfAway(const QString &summary, const QString &body) const
{
    if (!isActiveWindow())
        KroAdmin::DesktopNotifier().notify(summary, body);
}

void MainWindow::presentNewArchive()
{
    const QString archive = runWatch.archive();
    if (splitVolumeMiB <= 0) {
        showNewArchive(archive, runWatch.savedText());
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    claimDbusService();
    const int volumeMiB = splitVolumeMiB;
    const QString saved = runWatch.savedText();
    dbusService->splitReport(
        archive, volumeMiB, this,
        [this, archive, volumeMiB, saved](const KroAdmin::HelperReply &reply) {
            QApplication::restoreOverrideCursor();
            showDbusFailure(reply);
            if (!reply.succeeded()) {
                showNewArchive(archive, saved);
                return;
            }
            const QString zip = ReportNames::splitStem(archive) + QStringLiteral(".zip");
            showNewArchive(zip, tr("Report saved in volumes of %1 MB: %2").arg(volumeMiB).arg(zip));
        });
}

void MainWindow::showNewArchive(const QString &archive, const QString &saved)
{
    refillReportsTable();
    selectReport(archive);
    announceReport(archive, saved);
    emit reportRunEnded(archive);
}

bool MainWindow::selectReport(const QString &path)
{
    const QList<QTableWidgetItem *> rows = ui->tableWidget->findItems(path, Qt::MatchExactly);
    for (QTableWidgetItem *row : rows) {
        if (row->column() != ReportsTableDetails::NameColumn)
            continue;
        ui->tableWidget->setCurrentItem(row);
        return true;
    }
    return false;
}

void MainWindow::announceReport(const QString &report, const QString &text)
{
    announcedReport = report;
    announcement = text;
    statusBar()->showMessage(text);
}

void MainWindow::unlockInterface()
{
    if (isEnabled())
        return;
    // A long run that still makes progress is no reason to unlock.
    if (!runWatch.isStalled(unlockTimer->interval() / 1000)) {
        unlockTimer->start();
        return;
    }
    // Unlocked first, so that progress arriving meanwhile does not show the dialog again.
    setEnabled(true);
    if (progressDialog)
        progressDialog->reset();
    QMessageBox::warning(this, tr("Attention!"),
                         tr("Perhaps the collection of information took\ntoo long or there was "
                            "\na finish detection error.\nThe interface will be unlocked."),
                         QMessageBox::Ok);
}

void MainWindow::refillReportsTable()
{
    describeReportFolders();
    const QStringList reports = backstage->reportFiles(reportDirs, volumeParts);
    QTableWidget *table = ui->tableWidget;
    table->setHorizontalHeaderLabels(QStringList{tr("File name"), tr("Creation date"), tr("Size")});
    if (ReportsTableFiller(table).fill(reports) > 0)
        updatePasswordAction(table->currentItem());
    else
        ui->setPasswordAction->setEnabled(false);
    finishReportsTable();
}
