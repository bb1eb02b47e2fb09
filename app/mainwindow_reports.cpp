// SPDX-License-Identifier: GPL-2.0-or-later
// The report run and the reports table.
#include "backstage.h"
#include "constants.h"
#include "dbusservice.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>

namespace {

const int PsTimeout = 30000;
const QString CreationTimeFormat = QStringLiteral("hh:mm:ss dd.MM.yy");

bool isChecksumFile(const QString &path)
{
    return path.endsWith(QLatin1String("md5")) || path.endsWith(QLatin1String("sha256"));
}

} // namespace

void MainWindow::collectReports()
{
    // The pane's map is taken once, so that the arguments and the stored settings agree.
    QVariantMap extSettings;
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
        QSettings().setValue(Kro::ExtSettingsKey, prevExtSettings);
    }

    reportPid = pid;
    checkTimer->start();
}

QStringList MainWindow::extendedArguments(const QVariantMap &settings) const
{
    // Only a shown pane adds arguments; without one a run is "--batch" alone.
    Q_UNUSED(settings)
    return {};
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
    // Enabled first: a message box whose parent is disabled could not be answered.
    setEnabled(true);
    QMessageBox::warning(this, tr("Attention!"),
                         tr("Perhaps the collection of information took\ntoo long or there was "
                            "\na finish detection error.\nThe interface will be unlocked."),
                         QMessageBox::Ok);
}

void MainWindow::refillReportsTable()
{
    const QStringList reports = backstage->reportFiles(reportDirs, volumeParts);
    QTableWidget *table = ui->tableWidget;
    table->clear();
    table->setRowCount(reports.size());
    table->setHorizontalHeaderLabels(QStringList{tr("File name"), tr("Creation date")});

    QDateTime newest(QDate(1970, 1, 1), QTime(0, 0));
    int newestRow = -1;
    // Where the file system keeps no creation time, the newest modification picks the row.
    QDateTime newestModified;
    int newestModifiedRow = -1;
    int row = 0;
    for (const QString &path : reports) {
        if (isChecksumFile(path))
            continue;
        const QFileInfo info(path);
        const QDateTime created = info.birthTime();
        auto *nameItem = new QTableWidgetItem(path);
        nameItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        auto *timeItem = new QTableWidgetItem(
            created.isValid() ? created.toString(CreationTimeFormat) : QString());
        timeItem->setFlags(Qt::NoItemFlags);
        table->setItem(row, 0, nameItem);
        table->setItem(row, 1, timeItem);
        if (created.isValid() && created > newest) {
            newest = created;
            newestRow = row;
        }
        const QDateTime modified = info.lastModified();
        if (newestModifiedRow < 0 || modified > newestModified) {
            newestModified = modified;
            newestModifiedRow = row;
        }
        ++row;
    }

    if (row > 0) {
        const int currentRow = newestRow >= 0 ? newestRow : newestModifiedRow;
        table->setCurrentCell(currentRow, 0);
        ui->setPasswordAction->setEnabled(
            !table->item(currentRow, 0)->text().endsWith(QLatin1String("cpt")));
    } else {
        ui->setPasswordAction->setEnabled(false);
    }
    table->setRowCount(row);
    table->resizeColumnsToContents();
}
