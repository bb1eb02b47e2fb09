// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page: module list, debug mode switching and the changes window.
#include "mainwindow.h"

#include "backstage.h"
#include "changeswidget.h"
#include "dbusservice.h"
#include "debugmoduleloader.h"
#include "debugmoduleobject.h"
#include "debugswitch.h"
#include "packagemanager.h"
#include "rebootflag.h"
#include "reproduceflow.h"
#include "ui_mainwindow.h"
#include "windowplacement.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

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

DebugModuleObject *MainWindow::debugModuleNamed(const QString &name) const
{
    for (DebugModuleObject *module : debugModules)
        if (module->name() == name)
            return module;
    return nullptr;
}

DebugModuleObject *MainWindow::currentDebugModule() const
{
    const QModelIndex index = ui->debugLW->currentIndex();
    if (!index.isValid())
        return nullptr;
    return debugModules.value(index.row(), nullptr);
}

// The modules are read on a worker: the list stays empty until every module is read.
void MainWindow::fillDebugModules()
{
    ui->debugLW->clear();
    qDeleteAll(debugModules);
    debugModules.clear();
    updateDebugButtons();
    if (!debugModuleLoader) {
        debugModuleLoader = new DebugModuleLoader(this);
        connect(debugModuleLoader, &DebugModuleLoader::loaded, this, &MainWindow::showDebugModules);
    }
    // The package is asked about at most once a fill, and only when a path names it.
    auto guardedPackageFilter = [asked = false, installed = false](const QString &path) mutable {
        if (!path.contains(GuardedPackage))
            return true;
        if (!asked)
            installed = KroAdmin::PackageManager::isPackageInstalled(GuardedPackage,
                                                                     QStringLiteral("ii\\s%1"));
        asked = true;
        return installed;
    };
    debugModuleLoader->load(debugModuleDirs, guardedPackageFilter);
}

void MainWindow::showDebugModules(const QVector<DebugModuleEntry> &entries)
{
    for (const DebugModuleEntry &entry : entries) {
        if (!entry.module) {
            showError(entry.warning.title, entry.warning.text);
            continue;
        }
        debugModules.append(entry.module);
        auto *item = new QListWidgetItem(entry.module->name(), ui->debugLW);
        presentModuleRow(item, entry.module);
    }
    updateDebugButtons();
    showModuleDescription();
    emit debugModulesShown();
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
        setModuleRow(item, QStringLiteral("dialog-question"), UnknownText,
                     unknownStateReason(module));
}

void MainWindow::setModuleRow(QListWidgetItem *item, const QString &iconName, int statusText,
                              const QString &reason)
{
    item->setIcon(iconName.isEmpty() ? QIcon() : QIcon::fromTheme(iconName));
    const QString status = tr(StatusTexts[statusText]);
    item->setToolTip(reason.isEmpty() ? status : status + QLatin1Char('\n') + reason);
}

// The first change that is neither made nor undone is what keeps the state unknown.
QString MainWindow::unknownStateReason(DebugModuleObject *module) const
{
    const QList<FileChange> changes = module->fileChanges();
    for (int index = 0; index < changes.size(); ++index) {
        const FileChange &change = changes.at(index);
        const FileChangeState state = backstage->detectFileChangeState(change);
        if (state == FileChangeState::FileMissing)
            return tr("Change %1: file %2 is missing or cannot be read.")
                .arg(index + 1)
                .arg(change.filename);
        if (state == FileChangeState::NoMatch)
            return tr("Change %1: file %2 holds neither \"%3\" nor \"%4\".")
                .arg(index + 1)
                .arg(change.filename, change.oldtext, change.newtext);
    }
    return changes.isEmpty() ? tr("The module changes no file.") : QString();
}

void MainWindow::updateDebugButtons()
{
    const DebugModuleObject *module = currentDebugModule();
    ui->rollbackModePb->setEnabled(module && module->state() != ModuleState::NotActive);
    ui->debugModePb->setEnabled(module && module->state() != ModuleState::Active);
    ui->showChangesPb->setEnabled(module);
    updateReproduceAction();
}

// A flow under way is brought back by the same action.
void MainWindow::updateReproduceAction()
{
    const DebugModuleObject *module = currentDebugModule();
    const bool enabled =
        reproduceFlow->isActive() || (module && module->state() != ModuleState::Active);
    ui->reproduceAction->setEnabled(enabled);
    ui->reproducePb->setEnabled(enabled);
}

void MainWindow::reproduceProblem()
{
    reproduceFlow->start(currentDebugModule());
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
    requestDebugSwitch(module, rollback);
}

void MainWindow::requestDebugSwitch(DebugModuleObject *module, bool rollback)
{
    if (needsSessionRestartConfirmation(module) && !confirmSessionRestart()) {
        emit debugSwitchFinished(module, rollback, false);
        return;
    }
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

// The switch runs on replies of the helper: the page stays locked, and the window painting,
// until it ends.
void MainWindow::switchDebugMode(DebugModuleObject *module, bool rollback)
{
    lockDebugPage(true);
    const ModuleState before = module->state();
    auto *debugSwitch = new DebugSwitch(*backstage, *dbusService, this);
    connect(debugSwitch, &DebugSwitch::finished, this,
            [=](const QString &failure, const KroAdmin::HelperReply &reply) {
                debugSwitch->deleteLater();
                module->setState(backstage->detectModuleState(module->fileChanges()));
                lockDebugPage(false);
                if (failure.isEmpty())
                    showSwitchOutcome(module, rollback, false);
                else
                    showSwitchFailure(module, rollback, module->state() != before,
                                      failure + switchFailureReason(reply), reply.detail);
                emit debugSwitchFinished(module, rollback, failure.isEmpty());
                if (std::exchange(closeAfterSwitch, false))
                    close();
            });

    DebugSwitch::FlagPreparer flag;
    const QStringList commands = rollback ? module->rollbackCommands() : module->debugCommands();
    if (commands.contains(RebootMarker) && !isRebootPending(module->name()))
        flag = [this, module](QString *workingCopy, QString *published) {
            *workingCopy = rebootFlagWorkingCopy;
            *published = rebootFlagFile;
            return prepareRebootFlag() && addModuleToRebootFlag(module);
        };
    debugSwitch->start(module, rollback, flag);
}

void MainWindow::lockDebugPage(bool locked)
{
    debugSwitchRunning = locked;
    if (locked)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    const QList<QWidget *> inputs{ui->debugLW, ui->debugModePb, ui->rollbackModePb,
                                  ui->browseDebugDirsPBtn};
    for (QWidget *input : inputs)
        input->setEnabled(!locked);
}

QString MainWindow::switchFailureReason(const KroAdmin::HelperReply &reply) const
{
    const QString reason =
        reply.busError != QDBusError::NoError ? dbusErrorText(reply.busError) : reply.message;
    return reason.isEmpty() ? QString() : QLatin1Char('\n') + reason;
}

// One box for a failed switch: what failed and, when the module changed anyway, where it stands.
// When nothing changed, the row and the buttons stay as they were.
void MainWindow::showSwitchFailure(DebugModuleObject *module, bool rollback, bool changed,
                                   const QString &failure, const QString &detail)
{
    QString text = failure;
    if (changed)
        text += QStringLiteral("\n\n") + settleSwitchOutcome(module, rollback, true);
    else if (QListWidgetItem *item = ui->debugLW->item(debugModules.indexOf(module)))
        presentModuleRow(item, module);
    if (!changed)
        updateDebugButtons();
    QMessageBox box(QMessageBox::Warning, tr("Error!"), text, QMessageBox::Ok, this);
    box.setDetailedText(detail);
    box.exec();
}

void MainWindow::showSwitchOutcome(DebugModuleObject *module, bool rollback, bool failed)
{
    QMessageBox::information(this, tr("Attention!"), settleSwitchOutcome(module, rollback, failed),
                             QMessageBox::Ok);
}

QString MainWindow::settleSwitchOutcome(DebugModuleObject *module, bool rollback, bool failed)
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

    // The reproduce flow may switch a module that is not the current row's.
    if (QListWidgetItem *item = ui->debugLW->item(debugModules.indexOf(module)))
        setModuleRow(item, outcome.icon, outcome.status);
    if (module == currentDebugModule()) {
        ui->debugModePb->setEnabled(outcome.debugEnabled);
        ui->rollbackModePb->setEnabled(outcome.rollbackEnabled);
    }
    updateReproduceAction();
    return outcome.message;
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
