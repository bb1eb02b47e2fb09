// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page's wiring: its buttons, the changes window and the guided flow.
#include "mainwindow.h"

#include "changeswidget.h"
#include "debugmoduleobject.h"
#include "debugpage.h"
#include "reproduceflow.h"
#include "ui_mainwindow.h"
#include "windowplacement.h"

#include <QMessageBox>
#include <QStatusBar>

void MainWindow::setUpDebugPage()
{
    debugPage = new DebugPage({ui->debugLW, ui->debugModePb, ui->rollbackModePb,
                               ui->browseDebugDirsPBtn, ui->moduleDescriptionLbl},
                              *backstage, *dbusService, paths, this);
    connect(ui->debugLW, &QListWidget::currentRowChanged, this,
            &MainWindow::currentDebugModuleChanged);
    connect(ui->debugModePb, &QPushButton::clicked, this, &MainWindow::activateDebugMode);
    connect(ui->rollbackModePb, &QPushButton::clicked, this, &MainWindow::rollbackDebugMode);
    connect(ui->showChangesPb, &QPushButton::clicked, this, &MainWindow::showChanges);
    connect(debugPage, &DebugPage::currentModuleChanged, this, &MainWindow::updateDebugButtons);
    connect(debugPage, &DebugPage::warning, this, &MainWindow::showError);
    connect(debugPage, &DebugPage::notice, statusBar(),
            [this](const QString &text) { statusBar()->showMessage(text); });
    connect(debugPage, &DebugPage::switchFinished, this, [this] {
        if (std::exchange(closeAfterSwitch, false))
            close();
    });
}

void MainWindow::fillDebugModules()
{
    debugPage->fill(debugModuleDirs);
}

// The page sets the switch buttons; the window the buttons that reach beyond the page.
void MainWindow::updateDebugButtons()
{
    ui->showChangesPb->setEnabled(debugPage->currentModule());
    updateReproduceAction();
}

// A flow under way is brought back by the same action.
void MainWindow::updateReproduceAction()
{
    const DebugModuleObject *module = debugPage->currentModule();
    const bool enabled = reproduceFlow->isActive() || (module && module->isInstalled() &&
                                                       module->state() != ModuleState::Active);
    ui->reproduceAction->setEnabled(enabled);
    ui->reproducePb->setEnabled(enabled);
}

void MainWindow::reproduceProblem()
{
    reproduceFlow->start(debugPage->currentModule());
}

bool MainWindow::fillChangesWidget()
{
    if (!changesWidget)
        changesWidget = new ChangesWidget;
    const DebugModuleObject *module = debugPage->currentModule();
    if (!module)
        return false;
    changesWidget->setWindowTitle(module->name());
    changesWidget->setModuleName(module->name());
    changesWidget->setDebugCommands(module->debugCommands());
    changesWidget->setRollbackCommands(module->rollbackCommands());
    changesWidget->setFileChanges(module->fileChanges());
    return true;
}

void MainWindow::showChanges()
{
    if (fillChangesWidget()) {
        if (!changesWidget->isVisible())
            WindowPlacement::placeOver(changesWidget, this);
        changesWidget->show();
    } else
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Unexpected error while defining a module."), QMessageBox::Ok);
}

void MainWindow::currentDebugModuleChanged()
{
    if (changesWidget && changesWidget->isVisible())
        fillChangesWidget();
}

void MainWindow::activateDebugMode()
{
    debugPage->switchCurrent(false);
}

void MainWindow::rollbackDebugMode()
{
    debugPage->switchCurrent(true);
}

void MainWindow::switchDebugMode(DebugModuleObject *module, bool rollback)
{
    debugPage->switchModule(module, rollback);
}

bool MainWindow::needsSessionRestartConfirmation(DebugModuleObject *module) const
{
    return debugPage->needsSessionRestartConfirmation(module);
}

bool MainWindow::isRebootRequired(DebugModuleObject *module) const
{
    return debugPage->isRebootRequired(module);
}
