// SPDX-License-Identifier: GPL-2.0-or-later
#include "debugpage.h"

#include "backstage.h"
#include "dbusservice.h"
#include "debugmoduleloader.h"
#include "debugswitch.h"
#include "helperfailure.h"
#include "modulerowdelegate.h"
#include "modulewarnings.h"
#include "packagemanager.h"
#include "rebootflag.h"
#include "systempaths.h"

#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace {

// dpkg's abbreviated status of a package whose files are in place: any desired action, the
// state installed (or only its triggers pending), no error.
const QString InstalledStatus = QStringLiteral("^.[itW] %1$");

enum StatusText
{
    ActiveText,
    ErrorsText,
    NotActiveText,
    UnknownText,
    RebootText
};

// Indexed by StatusText.
const char *const StatusTexts[] = {QT_TRANSLATE_NOOP("DebugPage", "Debug mode is active"),
                                   QT_TRANSLATE_NOOP("DebugPage", "Some errors detected"),
                                   QT_TRANSLATE_NOOP("DebugPage", "Debug mode is not active"),
                                   QT_TRANSLATE_NOOP("DebugPage", "Debug mode in an unknown state"),
                                   QT_TRANSLATE_NOOP("DebugPage", "Reboot required")};

// What a finished switch shows on the module's row and buttons.
struct Outcome
{
    QString icon;
    StatusText status;
    bool debugEnabled;
    bool rollbackEnabled;
    QString message;
};

// The failed step, and on a line of its own why the helper failed it.
QString withReason(const QString &failure, const KroAdmin::HelperReply &reply)
{
    const QString reason = KroAdmin::failureText(reply);
    return reason.isEmpty() ? failure : failure + QLatin1Char('\n') + reason;
}

} // namespace

DebugPage::DebugPage(const Controls &controls, Backstage &backstage, KroAdmin::DbusService &service,
                     const SystemPaths &paths, QWidget *window)
    : QObject(window), controls(controls), backstage(backstage), service(service), paths(paths),
      window(window), moduleWarnings(new ModuleWarnings(paths.defaultDebugModuleDir, window, this))
{
    connect(moduleWarnings, &ModuleWarnings::warning, this, &DebugPage::warning);
    connect(moduleWarnings, &ModuleWarnings::notice, this, &DebugPage::notice);
    // switchFinished may be queued and spied on.
    qRegisterMetaType<DebugModuleObject *>();
    controls.list->setItemDelegate(new ModuleRowDelegate(controls.list));
    connect(controls.list, &QListWidget::currentRowChanged, this, &DebugPage::rowChanged);
    // The module list comes after the first paint: until then no button acts on a module.
    updateButtons();
}

DebugPage::~DebugPage()
{
    qDeleteAll(debugModules);
}

DebugModuleObject *DebugPage::moduleNamed(const QString &name) const
{
    for (DebugModuleObject *module : debugModules)
        if (module->name() == name)
            return module;
    return nullptr;
}

DebugModuleObject *DebugPage::currentModule() const
{
    const QModelIndex index = controls.list->currentIndex();
    if (!index.isValid())
        return nullptr;
    return debugModules.value(index.row(), nullptr);
}

// The modules are read on a worker: the list stays empty until every module is read.
void DebugPage::fill(const QStringList &moduleDirs)
{
    controls.list->clear();
    qDeleteAll(debugModules);
    debugModules.clear();
    updateButtons();
    if (!moduleLoader) {
        moduleLoader = new DebugModuleLoader(this);
        connect(moduleLoader, &DebugModuleLoader::loaded, this, &DebugPage::showModules);
    }
    // Asked on the loader's worker, each package once a fill. Where dpkg keeps no database,
    // nothing tells that a service is missing.
    auto isInstalled = [database = paths.dpkgStatusFile,
                        known = QHash<QString, bool>()](const QString &package) mutable {
        auto answer = known.find(package);
        if (answer == known.end())
            answer = known.insert(package, !QFileInfo::exists(database) ||
                                               KroAdmin::PackageManager::isPackageInstalled(
                                                   package, InstalledStatus, database));
        return *answer;
    };
    moduleLoader->load(moduleDirs, isInstalled);
}

void DebugPage::showModules(const QVector<DebugModuleEntry> &entries)
{
    for (const DebugModuleEntry &entry : entries) {
        if (!entry.module) {
            moduleWarnings->tell(entry.warning);
            continue;
        }
        debugModules.append(entry.module);
        auto *item = new QListWidgetItem(entry.module->name(), controls.list);
        presentRow(item, entry.module);
    }
    updateButtons();
    showDescription();
    emit modulesShown();
}

void DebugPage::rowChanged()
{
    updateButtons();
    showDescription();
}

void DebugPage::updateButtons()
{
    const DebugModuleObject *module = currentModule();
    const bool switchable = module && module->isInstalled();
    controls.rollbackButton->setEnabled(switchable && module->state() != ModuleState::NotActive);
    controls.debugButton->setEnabled(switchable && module->state() != ModuleState::Active);
    emit currentModuleChanged();
}

void DebugPage::showDescription()
{
    const DebugModuleObject *module = currentModule();
    const QString description = module ? module->description() : QString();
    controls.description->setText(description);
    controls.description->setVisible(!description.isEmpty());
}

void DebugPage::presentRow(QListWidgetItem *item, DebugModuleObject *module)
{
    if (!module->isInstalled()) {
        item->setData(Qt::AccessibleTextRole, tr("%1 (not installed)").arg(module->name()));
        item->setToolTip(tr("The package \"%1\" of this service is not installed: its debug "
                            "mode cannot be switched.")
                             .arg(module->package()));
        return;
    }
    if (isRebootRequired(module))
        setRow(item, QStringLiteral("dialog-warning"), RebootText);
    else if (module->state() == ModuleState::Active)
        setRow(item, QStringLiteral("dialog-ok-apply"), ActiveText);
    else if (module->state() == ModuleState::NotActive)
        setRow(item, QString(), NotActiveText);
    else
        setRow(item, QStringLiteral("dialog-question"), UnknownText, unknownStateReason(module));
}

void DebugPage::setRow(QListWidgetItem *item, const QString &iconName, int statusText,
                       const QString &reason)
{
    item->setIcon(iconName.isEmpty() ? QIcon() : QIcon::fromTheme(iconName));
    const QString status = tr(StatusTexts[statusText]);
    item->setToolTip(reason.isEmpty() ? status : status + QLatin1Char('\n') + reason);
}

// The first change that is neither made nor undone is what keeps the state unknown.
QString DebugPage::unknownStateReason(DebugModuleObject *module) const
{
    const QList<FileChange> changes = module->fileChanges();
    for (int index = 0; index < changes.size(); ++index) {
        const FileChange &change = changes.at(index);
        const FileChangeState state = backstage.detectFileChangeState(change);
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

void DebugPage::switchCurrent(bool rollback)
{
    DebugModuleObject *module = currentModule();
    if (!module) {
        QMessageBox::warning(window, tr("Attention!"),
                             tr("Unexpected error while defining a module."), QMessageBox::Ok);
        return;
    }
    requestSwitch(module, rollback);
}

void DebugPage::requestSwitch(DebugModuleObject *module, bool rollback, bool quiet)
{
    if (!module->isInstalled() ||
        (needsSessionRestartConfirmation(module) && !confirmSessionRestart())) {
        emit switchFinished(module, rollback, false, QString());
        return;
    }
    switchModule(module, rollback, quiet);
}

// A module that is off can only be switched on, and one that is on only off: the question is
// about the commands of the operation the user is about to start.
bool DebugPage::needsSessionRestartConfirmation(DebugModuleObject *module) const
{
    if (module->state() == ModuleState::NotActive)
        return module->debugCommands().contains(DebugModuleObject::SessionMarker);
    if (module->state() == ModuleState::Active)
        return module->rollbackCommands().contains(DebugModuleObject::SessionMarker);
    return false;
}

bool DebugPage::confirmSessionRestart()
{
    return QMessageBox::warning(
               window, tr("Attention!"),
               tr("Executing this operation will terminate the current session. Continue?"),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The switch runs on replies of the helper: the page stays locked, and the window painting,
// until it ends.
void DebugPage::switchModule(DebugModuleObject *module, bool rollback, bool quiet)
{
    lock(true);
    const ModuleState before = module->state();
    auto *debugSwitch = new DebugSwitch(service, this);
    connect(debugSwitch, &DebugSwitch::finished, this,
            [=](const QString &failure, const KroAdmin::HelperReply &reply, ModuleState state) {
                debugSwitch->deleteLater();
                module->setState(state);
                lock(false);
                const QString failureText =
                    failure.isEmpty() ? failure : withReason(failure, reply);
                if (failure.isEmpty())
                    showOutcome(module, rollback, quiet);
                else
                    showFailure(module, rollback, module->state() != before, failureText,
                                KroAdmin::failureDetails(reply), quiet);
                emit switchFinished(module, rollback, failure.isEmpty(), failureText);
            });

    DebugSwitch::FlagPreparer flag;
    const QStringList commands = rollback ? module->rollbackCommands() : module->debugCommands();
    if (commands.contains(DebugModuleObject::RebootMarker) && !isRebootPending(module->name()))
        flag = [this, module](QString *workingCopy, QString *published) {
            const RebootFlag rebootFlag(paths.rebootFlagFile, paths.rebootFlagWorkingCopy);
            *workingCopy = paths.rebootFlagWorkingCopy;
            *published = paths.rebootFlagFile;
            return rebootFlag.prepareWorkingCopy() && rebootFlag.addToWorkingCopy(module->name());
        };
    debugSwitch->start(module, rollback, flag);
}

void DebugPage::lock(bool locked)
{
    switching = locked;
    if (locked)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    const QList<QWidget *> inputs{controls.list, controls.debugButton, controls.rollbackButton,
                                  controls.foldersButton};
    for (QWidget *input : inputs)
        input->setEnabled(!locked);
}

// One box for a failed switch: what failed and, when the module changed anyway, where it stands.
// When nothing changed, the row and the buttons stay as they were.
void DebugPage::showFailure(DebugModuleObject *module, bool rollback, bool changed,
                            const QString &failure, const QString &detail, bool quiet)
{
    QString text = failure;
    if (changed)
        text += QStringLiteral("\n\n") + settleOutcome(module, rollback, true);
    else if (QListWidgetItem *item = controls.list->item(debugModules.indexOf(module)))
        presentRow(item, module);
    if (!changed)
        updateButtons();
    if (quiet)
        return;
    QMessageBox box(QMessageBox::Warning, tr("Error!"), text, QMessageBox::Ok, window);
    box.setDetailedText(detail);
    box.exec();
}

void DebugPage::showOutcome(DebugModuleObject *module, bool rollback, bool quiet)
{
    const QString message = settleOutcome(module, rollback, false);
    if (!quiet)
        QMessageBox::information(window, tr("Attention!"), message, QMessageBox::Ok);
}

QString DebugPage::settleOutcome(DebugModuleObject *module, bool rollback, bool failed)
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
    if (QListWidgetItem *item = controls.list->item(debugModules.indexOf(module)))
        setRow(item, outcome.icon, outcome.status);
    if (module == currentModule()) {
        controls.debugButton->setEnabled(outcome.debugEnabled);
        controls.rollbackButton->setEnabled(outcome.rollbackEnabled);
    }
    emit currentModuleChanged();
    return outcome.message;
}

bool DebugPage::isRebootRequired(DebugModuleObject *module) const
{
    QStringList commands;
    if (module->state() == ModuleState::NotActive)
        commands = module->rollbackCommands();
    else if (module->state() == ModuleState::Active)
        commands = module->debugCommands();
    return commands.contains(DebugModuleObject::RebootMarker) && isRebootPending(module->name());
}

bool DebugPage::isRebootPending(const QString &moduleName) const
{
    return RebootFlag(paths.rebootFlagFile, paths.rebootFlagWorkingCopy).isPending(moduleName);
}

QList<DebugModuleObject *> DebugPage::askToSwitchBack(const QString &skipped)
{
    QList<DebugModuleObject *> candidates;
    for (DebugModuleObject *module : qAsConst(debugModules))
        if (module->isInstalled() && module->name() != skipped)
            candidates.append(module);
    return debugModeReminder.ask(window, candidates);
}

void DebugPage::switchBackInTurn(QList<DebugModuleObject *> pending,
                                 const std::function<void()> &then)
{
    if (pending.isEmpty()) {
        if (then)
            then();
        return;
    }
    DebugModuleObject *module = pending.takeFirst();
    // The switch reports on the current row: the module's own.
    controls.list->setCurrentRow(debugModules.indexOf(module));
    auto next = std::make_shared<QMetaObject::Connection>();
    *next = connect(this, &DebugPage::switchFinished, this, [this, next, pending, then] {
        disconnect(*next);
        switchBackInTurn(pending, then);
    });
    switchModule(module, true);
}
