// SPDX-License-Identifier: GPL-2.0-or-later
// The reports page's wiring: its table, the actions on the current report and its upload.
#include "mainwindow.h"

#include "reportactions.h"
#include "reportmailer.h"
#include "reportspage.h"
#include "ui_mainwindow.h"
#include "upload.h"

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
    setUpUpload();
}

void MainWindow::setUpUpload()
{
    upload = new Upload(
        this, volumeParts,
        [this](const QStringList &files, const std::function<void()> &then) {
            makeReadable(files, then);
        },
        [this] { return reportCaseId(); });
    reportsPage->actions()->addDeliveryActions({ui->sendReportAction, ui->uploadAction});
    connect(ui->uploadAction, &QAction::triggered, this,
            [this] { upload->start(reportsPage->currentReport()); });
    connect(upload, &Upload::started, this, &MainWindow::updateUploadAction);
    connect(upload, &Upload::ended, this, &MainWindow::updateUploadAction);
    connect(reportsPage, &ReportsPage::filled, this, &MainWindow::updateUploadAction);
    connect(ui->tableWidget, &QTableWidget::itemSelectionChanged, this,
            &MainWindow::updateUploadAction);
    connect(ui->tableWidget, &QTableWidget::currentItemChanged, this,
            &MainWindow::updateUploadAction);
    updateUploadAction();
}

// One upload at a time, and only of a report the user sees chosen (the current report is empty
// once a Ctrl+click cleared the selection).
void MainWindow::updateUploadAction()
{
    ui->uploadAction->setEnabled(!upload->isRunning() && !reportsPage->currentReport().isEmpty());
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
