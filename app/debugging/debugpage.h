// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page: the module list read from the module folders, each row's state
// with its reason, switching a module's debug mode on or off (the session question, the reboot
// flag, the page locked while the switch runs, the row's outcome and its message), and
// switching the modules left in debug mode back, one after the other, at start and at close.
#pragma once

#include "debugmodereminder.h"
#include "debugmoduleobject.h"

#include <QList>
#include <QObject>
#include <QVector>
#include <functional>

class Backstage;
class DebugModuleLoader;
class ModuleWarnings;
struct DebugModuleEntry;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
struct SystemPaths;

namespace KroAdmin {
class DbusService;
struct HelperReply;
} // namespace KroAdmin

class DebugPage : public QObject
{
    Q_OBJECT

public:
    // The page's controls, which belong to the window's form.
    struct Controls
    {
        QListWidget *list;
        QPushButton *debugButton;
        QPushButton *rollbackButton;
        QPushButton *foldersButton;
        QLabel *description;
    };

    DebugPage(const Controls &controls, Backstage &backstage, KroAdmin::DbusService &service,
              const SystemPaths &paths, QWidget *window);
    ~DebugPage() override;

    // Reads the modules of the folders anew; modulesShown() follows once the list is complete.
    void fill(const QStringList &moduleDirs);
    const QList<DebugModuleObject *> &modules() const { return debugModules; }
    DebugModuleObject *moduleNamed(const QString &name) const;
    DebugModuleObject *currentModule() const;
    DebugModuleLoader *loader() const { return moduleLoader; }

    // Switches the current row's module; a box says so when there is none.
    void switchCurrent(bool rollback);
    // Asks the session question when the module needs it, then switches; switchFinished tells
    // the end, also of a declined question. A quiet switch shows no box of its own about the
    // outcome: whoever asked for it tells the user in its own words.
    void requestSwitch(DebugModuleObject *module, bool rollback, bool quiet = false);
    void switchModule(DebugModuleObject *module, bool rollback, bool quiet = false);
    bool isSwitching() const { return switching; }
    bool needsSessionRestartConfirmation(DebugModuleObject *module) const;
    bool isRebootRequired(DebugModuleObject *module) const;

    // Asks which modules left in debug mode to switch back, the one named skipped left out.
    QList<DebugModuleObject *> askToSwitchBack(const QString &skipped);
    // One switch after the other, each once the one before has ended, then whatever comes next.
    void switchBackInTurn(QList<DebugModuleObject *> modules, const std::function<void()> &then);

signals:
    // Once whenever a switch has ended, after its message boxes; failure says what went wrong,
    // empty after a success or a declined question.
    void switchFinished(DebugModuleObject *module, bool rollback, bool succeeded,
                        const QString &failure);
    // A module list read from the module folders is in the list.
    void modulesShown();
    // The current row or what its buttons offer changed.
    void currentModuleChanged();
    void warning(const QString &title, const QString &text);
    // A short line for the status bar.
    void notice(const QString &text);

private:
    void showModules(const QVector<DebugModuleEntry> &entries);
    void rowChanged();
    void updateButtons();
    void showDescription();
    bool confirmSessionRestart();
    void lock(bool locked);
    void presentRow(QListWidgetItem *item, DebugModuleObject *module);
    void setRow(QListWidgetItem *item, const QString &iconName, int statusText,
                const QString &reason = QString());
    QString unknownStateReason(DebugModuleObject *module) const;
    void showOutcome(DebugModuleObject *module, bool rollback, bool quiet);
    // Sets the row and the buttons after a switch; answers the final message.
    QString settleOutcome(DebugModuleObject *module, bool rollback, bool failed);
    void showFailure(DebugModuleObject *module, bool rollback, bool changed, const QString &failure,
                     const QString &detail, bool quiet);
    bool isRebootPending(const QString &moduleName) const;

    Controls controls;
    Backstage &backstage;
    KroAdmin::DbusService &service;
    const SystemPaths &paths;
    QWidget *window;
    QList<DebugModuleObject *> debugModules;
    DebugModuleLoader *moduleLoader = nullptr;
    ModuleWarnings *moduleWarnings;
    DebugModeReminder debugModeReminder;
    bool switching = false;
};
