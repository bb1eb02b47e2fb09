// SPDX-License-Identifier: GPL-2.0-or-later
// The window without a mouse or without sight: shortcuts, focus, the names a screen reader reads
// and the icons drawn for the palette.
#include "mainwindow.h"

#include "themedicon.h"
#include "ui_mainwindow.h"

void MainWindow::setUpKeyboard()
{
    ui->saveAction->setShortcut(QKeySequence::New);
    ui->refreshAction->setShortcut(QKeySequence::Refresh);
    // Not every platform theme binds QKeySequence::Quit.
    ui->exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui->helpAction->setShortcut(QKeySequence::HelpContents);
    // Tab moves between controls, the arrow keys between cells.
    ui->tableWidget->setTabKeyNavigation(false);
}

void MainWindow::setUpAccessibleNames()
{
    // Icon-only buttons are named by what their tool tips say.
    for (QPushButton *button :
         {ui->browseReportsDirsPBtn, ui->browseDebugDirsPBtn, ui->rollbackModePb, ui->debugModePb,
          ui->reproducePb, ui->showChangesPb})
        button->setAccessibleName(button->toolTip());
    const QString configure = QStringLiteral("configure");
    const QIcon folders = ThemedIcon::get(configure, QStringLiteral("tools"), palette());
    ui->browseReportsDirsPBtn->setIcon(folders);
    ui->browseDebugDirsPBtn->setIcon(folders);

    ui->groupBox->setAccessibleName(tr("Reports and services"));
    ui->tableWidget->setAccessibleName(tr("Generated reports"));
    ui->debugLW->setAccessibleName(tr("Services debugging"));
    ui->debugLW->setAccessibleDescription(
        tr("Services with a debug module. Select one to switch its debug mode on or off."));
    ui->moduleDescriptionLbl->setAccessibleName(tr("Module description"));
}
