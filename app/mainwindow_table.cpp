// SPDX-License-Identifier: GPL-2.0-or-later
// The reports table beyond its fill: details, sorting, row actions, and the refresh that
// follows the report folders.
#include "mainwindow.h"

#include "backstage.h"
#include "reportactions.h"
#include "reportsfolderwatcher.h"
#include "reportstabledecorator.h"
#include "reportstablehold.h"
#include "reportstablesorting.h"
#include "sosconfig.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStatusBar>

void MainWindow::setupReportsTable()
{
    reportsDecorator = new ReportsTableDecorator(ui->tableWidget);
    reportsSorting = new ReportsTableSorting(ui->tableWidget);
    reportActions = new ReportActions(ui->tableWidget, backstage, volumeParts);
    reportsWatcher = new ReportsFolderWatcher(this);
    reportsHold = new ReportsTableHold(ui->tableWidget);

    connect(reportActions, &ReportActions::reportsDeleted, this, &MainWindow::refreshReportsTable);
    connect(reportsWatcher, &ReportsFolderWatcher::foldersChanged, reportsHold,
            &ReportsTableHold::request);
    connect(reportsHold, &ReportsTableHold::due, this, &MainWindow::refreshReportsTable);
    connect(ui->tableWidget, &QTableWidget::currentItemChanged, this,
            &MainWindow::updateSendAction);
}

void MainWindow::finishReportsTable()
{
    // A report protected, deleted or moved is no longer announced under its old name.
    if (!announcedReport.isEmpty() && !QFileInfo::exists(announcedReport)) {
        if (statusBar()->currentMessage() == announcement)
            statusBar()->clearMessage();
        announcedReport.clear();
    }
    reportsDecorator->apply(volumeParts);
    reportsSorting->apply();
    updateSendAction(ui->tableWidget->currentItem());
    reportsWatcher->watch(reportDirs);
}

// A refill the user did not ask for: the report the user was on stays current, or none is when
// it went, the report at the top of the view stays there, and an unreadable folder, warned
// about at the user's own refills, does not pop up at every change of another.
void MainWindow::refreshReportsTable()
{
    QTableWidget *table = ui->tableWidget;
    const QString report = reportActions->currentReport();
    const QTableWidgetItem *top = table->itemAt(0, 0);
    const QString topReport = top ? table->item(top->row(), 0)->text() : QString();
    {
        const QSignalBlocker quiet(backstage);
        refillReportsTable();
    }
    if (!report.isEmpty() && !selectReport(report))
        table->setCurrentItem(nullptr);
    const QList<QTableWidgetItem *> tops = table->findItems(topReport, Qt::MatchExactly);
    if (!topReport.isEmpty() && !tops.isEmpty())
        table->scrollToItem(tops.first(), QAbstractItemView::PositionAtTop);
}

void MainWindow::updateSendAction(QTableWidgetItem *current)
{
    ui->sendReportAction->setEnabled(current != nullptr);
}

// The table lists report folders; sos itself writes where its configuration says. Both are
// named where the user looks for a missing report.
void MainWindow::describeReportFolders()
{
    const QString sosFolder = SosConfig::reportFolder(paths.sosConfigFile);
    QStringList shown;
    for (const QString &dir : reportDirs)
        shown.append(QDir::toNativeSeparators(dir));
    QString text = tr("Reports are listed from: %1.\nsos writes new reports to %2.")
                       .arg(shown.join(QStringLiteral(", ")), sosFolder);
    if (!reportDirs.contains(sosFolder) && !reportDirs.contains(sosFolder + QLatin1Char('/')))
        text += QLatin1Char('\n') +
                tr("Add %1 to the folders with reports to list them.").arg(sosFolder);
    ui->tableWidget->setToolTip(text);
    ui->tableWidget->setAccessibleDescription(text);
}
