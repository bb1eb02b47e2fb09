// SPDX-License-Identifier: GPL-2.0-or-later
// The reports table beyond its fill: details, sorting, row actions, and the refresh that
// follows the report folders.
#include "mainwindow.h"

#include "backstage.h"
#include "reportactions.h"
#include "reportsfolderwatcher.h"
#include "reportstabledetails.h"
#include "reportstablesorting.h"
#include "ui_mainwindow.h"

#include <QSignalBlocker>

void MainWindow::setupReportsTable()
{
    reportsDetails = new ReportsTableDetails(ui->tableWidget);
    reportsSorting = new ReportsTableSorting(ui->tableWidget);
    reportActions = new ReportActions(ui->tableWidget, backstage, volumeParts);
    reportsWatcher = new ReportsFolderWatcher(this);

    connect(reportActions, &ReportActions::reportsDeleted, this, &MainWindow::refreshReportsTable);
    connect(reportsWatcher, &ReportsFolderWatcher::foldersChanged, this,
            &MainWindow::refreshReportsTable);
    connect(ui->tableWidget, &QTableWidget::currentItemChanged, this,
            &MainWindow::updateSendAction);
}

void MainWindow::finishReportsTable()
{
    reportsDetails->apply(volumeParts);
    reportsSorting->apply();
    updateSendAction(ui->tableWidget->currentItem());
    reportsWatcher->watch(reportDirs);
}

// A refill the user did not ask for: the row the user was on stays current, and an unreadable
// folder, warned about at the user's own refills, does not pop up at every change of another.
void MainWindow::refreshReportsTable()
{
    const QTableWidgetItem *current = ui->tableWidget->currentItem();
    const QString report = current ? current->text() : QString();
    {
        const QSignalBlocker quiet(backstage);
        refillReportsTable();
    }
    if (!report.isEmpty())
        selectReport(report);
}

void MainWindow::updateSendAction(QTableWidgetItem *current)
{
    ui->sendReportAction->setEnabled(current != nullptr);
}
