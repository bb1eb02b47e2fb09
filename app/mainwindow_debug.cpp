// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page: module list, debug mode switching and the changes window.
#include "mainwindow.h"

#include "backstage.h"
#include "changeswidget.h"
#include "dbusservice.h"
#include "debugmoduleobject.h"
#include "packagemanager.h"
#include "rebootflag.h"
#include "ui_mainwindow.h"
#include "windowplacement.h"

#include <QMessageBox>

namespace {

const QString RebootMarker = QStringLiteral("reboot");
const QString SessionMarker = QStringLiteral("restart-session");
const QString GuardedPackage = QStringLiteral("sssd");

enum StatusText
{
    ActiveText,
    ErrorsText,
    NotActiveText,
    UnknownText,
    RebootText
};

// Indexed by StatusText.
const char *const StatusTexts[] = {
    QT_TRANSLATE_NOOP("MainWindow", "Debug mode is active"),
    QT_TRANSLATE_NOOP("MainWindow", "Some errors detected"),
    QT_TRANSLATE_NOOP("MainWindow", "Debug mode is not active"),
    QT_TRANSLATE_NOOP("MainWindow", "Debug mode in an unknown state"),
    QT_TRANSLATE_NOOP("MainWindow", "Reboot required")};

// What a finished switch shows on the module's row and buttons.
struct Outcome
{
    QString icon;
    StatusText status;
    bool debugEnabled;
    bool rollbackEnabled;
    QString message;
};

} // namespace

DebugModuleObject *MainWindow::currentDebugModule() const
{
    const QModelIndex index = ui->debugLW->currentIndex();
    if (!index.isValid())
        return nullptr;
    return debugModules.value(index.row(), nullptr);
}

void MainWindow::fillDebugModules()
{
    ui->debugLW->clear();
    qDeleteAll(debugModules);
    debugModules.clear();
    if (!debugModuleDirs.isEmpty()) {
        const QStringList files = backstage->debugModuleFiles(debugModuleDirs);
        bool packageAsked = false;
        bool packageInstalled = false;
        for (const QString &path : files) {
            if (path.contains(GuardedPackage)) {
                if (!packageAsked)
                    packageInstalled = KroAdmin::PackageManager::isPackageInstalled(
                        GuardedPackage, QStringLiteral("ii\\s%1"));
                packageAsked = true;
                if (!packageInstalled)
                    continue;
            }
            DebugModuleObject *module = backstage->readDebugModule(path);
            if (!module)
                continue;
            debugModules.append(module);
            auto *item = new QListWidgetItem(module->name(), ui->debugLW);
            presentModuleRow(item, module);
        }
    }
    updateDebugButtons();
    showModuleDescription();
}

void MainWindow::presentModuleRow(QListWidgetItem *item, DebugModuleObject *module)
{
    if (isRebootRequired(module))
        setModuleRow(item, QStringLiteral("dialog-warning"), RebootText);
    else if (module->state() == ModuleState::Active)
        setModuleRow(item, QStringLiteral("dialog-ok-apply"), ActiveText);
    else if (module->state() == ModuleState::NotActive)
        setModuleRow(item, QString(), NotActiveText);
    else
        setModuleRow(item, QStringLiteral("dialog-question"), UnknownText);
}

void MainWindow::setModuleRow(QListWidgetItem *item, const QString &iconName, int statusText)
{
    item->setIcon(iconName.isEmpty() ? QIcon() : QIcon::fromTheme(iconName));
    item->setToolTip(tr(StatusTexts[statusText]));
}

void MainWindow::updateDebugButtons()
{
    const DebugModuleObject *module = currentDebugModule();
    ui->rollbackModePb->setEnabled(module && module->state() != ModuleState::NotActive);
    ui->debugModePb->setEnabled(module && module->state() != ModuleState::Active);
    ui->showChangesPb->setEnabled(module);
}

bool MainWindow::fillChangesWidget()
{
    if (!changesWidget)
        changesWidget = new ChangesWidget;
    const DebugModuleObject *module = currentDebugModule();
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
    updateDebugButtons();
    showModuleDescription();
}

void MainWindow::activateDebugMode()
{
    startDebugSwitch(false);
}

void MainWindow::rollbackDebugMode()
{
    startDebugSwitch(true);
}

void MainWindow::startDebugSwitch(bool rollback)
{
    DebugModuleObject *module = currentDebugModule();
    if (!module) {
        QMessageBox::warning(this, tr("Attention!"),
                             tr("Unexpected error while defining a module."), QMessageBox::Ok);
        return;
    }
    if (needsSessionRestartConfirmation(module) && !confirmSessionRestart())
        return;
    switchDebugMode(module, rollback);
}

// A module that is off can only be switched on, and one that is on only off: the question is
// about the commands of the operation the user is about to start.
bool MainWindow::needsSessionRestartConfirmation(DebugModuleObject *module) const
{
    if (module->state() == ModuleState::NotActive)
        return module->debugCommands().contains(SessionMarker);
    if (module->state() == ModuleState::Active)
        return module->rollbackCommands().contains(SessionMarker);
    return false;
}

bool MainWindow::confirmSessionRestart()
{
    return QMessageBox::warning(
               this, tr("Attention!"),
               tr("Executing this operation will terminate the current session. Continue?"),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::switchDebugMode(DebugModuleObject *module, bool rollback)
{
    const int fileFailures = backstage->applyFileChanges(module->fileChanges(), rollback);
    module->setState(backstage->detectModuleState(module->fileChanges()));
    if (fileFailures != 0)
        QMessageBox::warning(this, tr("Error!"),
                             tr("Failed to make required changes to files (%1 error(s)).\nList of "
                                "errors:\n")
                                     .arg(fileFailures) +
                                 joinedLines(backstage->fileChangeErrors()),
                             QMessageBox::Ok);

    const QStringList commands = rollback ? module->rollbackCommands() : module->debugCommands();
    if (commands.contains(RebootMarker) && !isRebootPending(module->name()) &&
        prepareRebootFlag() && addModuleToRebootFlag(module))
        publishRebootFlag();

    const int commandFailures = backstage->executeCommands(commands);
    if (commandFailures != 0)
        QMessageBox::warning(this, tr("Error!"),
                             tr("Failed to execute commands (%1 error(s)).\nList of unexecuted "
                                "commands:\n")
                                     .arg(commandFailures) +
                                 joinedLines(backstage->failedCommands()),
                             QMessageBox::Ok);

    showSwitchOutcome(module, rollback, fileFailures + commandFailures != 0);
}

QString MainWindow::joinedLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1Char('\n');
    return text;
}

void MainWindow::showSwitchOutcome(DebugModuleObject *module, bool rollback, bool failed)
{
    const ModuleState state = module->state();
    const QString warning = QStringLiteral("dialog-warning");
    const Outcome activatedWithErrors{warning, ErrorsText, true, true,
                                      tr("Debug mode activated with errors.\nMake sure you have "
                                         "completed the required steps.\n")};
    const Outcome deactivatedWithErrors{warning, ErrorsText, true, true,
                                        tr("Debug mode deactivated with errors.")};
    // Once debug mode is on and nothing went wrong, the next step is the user's.
    const QString reproduce = tr("Reproduce the problem, then generate an report with logs.");

    Outcome outcome = rollback ? deactivatedWithErrors : activatedWithErrors;
    if (!failed) {
        if (isRebootRequired(module))
            outcome = {warning, RebootText, state != ModuleState::Active,
                       state != ModuleState::NotActive,
                       tr("Remember to reboot after executing commands") +
                           (rollback ? QString() : QLatin1Char('\n') + reproduce)};
        else if (!rollback && state == ModuleState::Active)
            outcome = {QStringLiteral("dialog-ok-apply"), ActiveText, false, true,
                       tr("Debug mode activated.\n") + reproduce};
        else if (rollback && state == ModuleState::NotActive)
            outcome = {QString(), NotActiveText, true, false, tr("Debug mode deactivated.")};
    }

    if (QListWidgetItem *item = ui->debugLW->currentItem())
        setModuleRow(item, outcome.icon, outcome.status);
    ui->debugModePb->setEnabled(outcome.debugEnabled);
    ui->rollbackModePb->setEnabled(outcome.rollbackEnabled);
    QMessageBox::information(this, tr("Attention!"), outcome.message, QMessageBox::Ok);
}

bool MainWindow::isRebootRequired(DebugModuleObject *module) const
{
    QStringList commands;
    if (module->state() == ModuleState::NotActive)
        commands = module->rollbackCommands();
    else if (module->state() == ModuleState::Active)
        commands = module->debugCommands();
    return commands.contains(RebootMarker) && isRebootPending(module->name());
}

bool MainWindow::isRebootPending(const QString &moduleName) const
{
    return RebootFlag(rebootFlagFile, rebootFlagWorkingCopy).isPending(moduleName);
}

bool MainWindow::prepareRebootFlag()
{
    return RebootFlag(rebootFlagFile, rebootFlagWorkingCopy).prepareWorkingCopy();
}

bool MainWindow::addModuleToRebootFlag(DebugModuleObject *module)
{
    return RebootFlag(rebootFlagFile, rebootFlagWorkingCopy).addToWorkingCopy(module->name());
}

bool MainWindow::publishRebootFlag()
{
    claimDbusService();
    return dbusService->move(rebootFlagWorkingCopy, rebootFlagFile);
}
