// SPDX-License-Identifier: GPL-2.0-or-later
// The report run and the reports table.
#include "backstage.h"
#include "constants.h"
#include "dbusservice.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace {

const int PsTimeout = 30000;

bool isChecksumFile(const QString &path)
{
    return path.endsWith(QLatin1String("md5")) || path.endsWith(QLatin1String("sha256"));
}

// Milliseconds since the epoch.
struct FileTimes
{
    bool hasCreated = false;
    qint64 created = 0;
    qint64 modified = 0;
};

// Read with one statx call: a table of thousands of reports is listed every time a run ends.
FileTimes fileTimes(const QString &path)
{
    FileTimes times;
    struct statx info;
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME | STATX_MTIME,
                &info) != 0)
        return times;
    times.hasCreated = (info.stx_mask & STATX_BTIME) != 0;
    times.created = info.stx_btime.tv_sec * 1000 + info.stx_btime.tv_nsec / 1000000;
    times.modified = info.stx_mtime.tv_sec * 1000 + info.stx_mtime.tv_nsec / 1000000;
    return times;
}

// "hh:mm:ss dd.MM.yy" in local time. localtime_r reads the time zone once, where a QDateTime
// conversion reads it for every file.
QString creationText(const FileTimes &times)
{
    if (!times.hasCreated)
        return QString();
    const time_t seconds = static_cast<time_t>(times.created / 1000);
    struct tm local;
    if (!::localtime_r(&seconds, &local))
        return QString();
    return QString::asprintf("%02d:%02d:%02d %02d.%02d.%02d", local.tm_hour, local.tm_min,
                             local.tm_sec, local.tm_mday, local.tm_mon + 1, local.tm_year % 100);
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

    qint64 newest = QDateTime(QDate(1970, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
    int newestRow = -1;
    // Where the file system keeps no creation time, the newest modification picks the row.
    qint64 newestModified = 0;
    int newestModifiedRow = -1;
    int row = 0;
    for (const QString &path : reports) {
        if (isChecksumFile(path))
            continue;
        const FileTimes times = fileTimes(path);
        auto *nameItem = new QTableWidgetItem(path);
        nameItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        auto *timeItem = new QTableWidgetItem(creationText(times));
        timeItem->setFlags(Qt::NoItemFlags);
        table->setItem(row, 0, nameItem);
        table->setItem(row, 1, timeItem);
        if (times.hasCreated && times.created > newest) {
            newest = times.created;
            newestRow = row;
        }
        if (newestModifiedRow < 0 || times.modified > newestModified) {
            newestModified = times.modified;
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
