// SPDX-License-Identifier: GPL-2.0-or-later
// The reports page's wiring: its table and the actions on the current report.
#include "mainwindow.h"

#include "reportspage.h"
#include "ui_mainwindow.h"

void MainWindow::setupReportsTable()
{
    reportsPage =
        new ReportsPage(ui->tableWidget, statusBar(), *backstage, reportDirs, volumeParts, paths);
    connect(reportsPage, &ReportsPage::filled, this, [this] {
        updatePasswordAction(ui->tableWidget->currentItem());
        updateSendAction(ui->tableWidget->currentItem());
    });
    connect(ui->tableWidget, &QTableWidget::currentItemChanged, this,
            &MainWindow::updateSendAction);
}

void MainWindow::refillReportsTable()
{
    reportsPage->fill();
}

void MainWindow::refreshReportsTable()
{
    reportsPage->refresh();
}

void MainWindow::updateSendAction(QTableWidgetItem *current)
{
    ui->sendReportAction->setEnabled(current != nullptr);
}
