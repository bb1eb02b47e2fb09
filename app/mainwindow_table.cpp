// SPDX-License-Identifier: GPL-2.0-or-later
// The reports page's wiring: its table and the actions on the current report.
#include "mainwindow.h"

#include "reportactions.h"
#include "reportmailer.h"
#include "reportspage.h"
#include "ui_mainwindow.h"

void MainWindow::setupReportsTable()
{
    reportsPage =
        new ReportsPage(ui->tableWidget, statusBar(), *backstage, reportDirs, volumeParts, paths);
    mailer = new ReportMailer(
        this, [this](const QString &report) { reportsPage->actions()->showInFolder(report); });
    connect(reportsPage, &ReportsPage::filled, this, [this] {
        updatePasswordAction(ui->tableWidget->currentItem());
        updateSendAction(ui->tableWidget->currentItem());
    });
    connect(ui->tableWidget, &QTableWidget::currentItemChanged, this,
            &MainWindow::updateSendAction);
    connect(ui->tableWidget, &QTableWidget::itemSelectionChanged, this,
            [this] { updateSendAction(ui->tableWidget->currentItem()); });
}

void MainWindow::refillReportsTable()
{
    reportsPage->fill();
}

void MainWindow::refreshReportsTable()
{
    reportsPage->refresh();
}

// Send acts on the selected report only: a current row that Ctrl+click deselected is not sent.
void MainWindow::updateSendAction(QTableWidgetItem *current)
{
    ui->sendReportAction->setEnabled(current != nullptr && current->isSelected());
}
