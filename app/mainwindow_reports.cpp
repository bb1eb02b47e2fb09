// SPDX-License-Identifier: GPL-2.0-or-later
// The report run and the reports table.
#include "mainwindow.h"

#include "backstage.h"
#include "constants.h"
#include "dbusservice.h"
#include "extsettwidget.h"
#include "reportstablefiller.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>

namespace {

const int PsTimeout = 30000;

} // namespace

void MainWindow::collectReports()
{
    // The pane's map is taken once, so that the arguments and the stored settings agree.
    QVariantMap extSettings;
    if (extSettWidget)
        extSettings = extSettWidget->getExtSettings();
    const QStringList arguments = QStringList{Kro::BatchOption} + extendedArguments(extSettings);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    claimDbusService();
    const qint64 pid = dbusService->execSmthDetachedWithArgs(Kro::SosreportProgram, arguments);
    if (pid < 0) {
        QApplication::restoreOverrideCursor();
        return;
    }

    setEnabled(false);
    unlockTimer->start();
    showProgressDialog();

    if (extSettWidget) {
        prevExtSettings = extSettings;
        extSettWidget->setPreviousEnabled(true);
        QSettings().setValue(Kro::ExtSettingsKey, prevExtSettings);
    }

    reportPid = pid;
    checkTimer->start();
}

void MainWindow::showProgressDialog()
{
    if (!progressDialog)
        progressDialog = new QProgressDialog(this, Qt::WindowFlags());
    progressDialog->setRange(0, 0);
    progressDialog->setWindowTitle(tr("Long operation..."));
    progressDialog->setLabelText(tr("Information is being collected. \nPlease, wait."));
    progressDialog->setCancelButton(nullptr);
    progressDialog->show();
    // The window, its parent, is disabled while the run lasts.
    progressDialog->setEnabled(true);
}

void MainWindow::checkReportIsReady()
{
    if (!checkTimer || !psProcess)
        return;
    if (reportPid < 1) {
        checkTimer->stop();
        return;
    }

    psProcess->setArguments(QStringList{QStringLiteral("--no-headers"), QStringLiteral("-p"),
                                        QString::number(reportPid)});
    psProcess->start(QIODevice::ReadWrite);
    const bool finished = psProcess->waitForFinished(PsTimeout);
    const QString output = QString::fromLocal8Bit(psProcess->readAllStandardOutput());
    // A hung ps would block every later test of the run.
    if (!finished && psProcess->state() != QProcess::NotRunning) {
        psProcess->kill();
        psProcess->waitForFinished();
    }
    if (output.contains(Kro::SosreportProgram))
        return;

    QApplication::restoreOverrideCursor();
    if (progressDialog)
        progressDialog->close();
    setEnabled(true);
    checkTimer->stop();
    unlockTimer->stop();
    refillReportsTable();
}

void MainWindow::unlockInterface()
{
    if (isEnabled())
        return;
    if (progressDialog)
        progressDialog->close();
    QMessageBox::warning(this, tr("Attention!"),
                         tr("Perhaps the collection of information took\ntoo long or there was "
                            "\na finish detection error.\nThe interface will be unlocked."),
                         QMessageBox::Ok);
    setEnabled(true);
}

void MainWindow::refillReportsTable()
{
    const QStringList reports = backstage->reportFiles(reportDirs, volumeParts);
    QTableWidget *table = ui->tableWidget;
    table->setHorizontalHeaderLabels(QStringList{tr("File name"), tr("Creation date")});
    if (ReportsTableFiller(table).fill(reports) > 0)
        updatePasswordAction(table->currentItem());
    else
        ui->setPasswordAction->setEnabled(false);
}
