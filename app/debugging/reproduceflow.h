// SPDX-License-Identifier: GPL-2.0-or-later
// Guides the user from a misbehaving service to a report about it: switches the service's debug
// mode on, waits while the problem is reproduced, collects a report limited to that time and to
// the service's sos plugins through the followed report run, switches debug mode off again and
// offers the new archive for protecting and sending. While debug mode may be on, the service and
// the time of the switch are kept in the settings store, so that a later start takes the flow up
// again. Every way out ends with debug mode off or with a message that it is still on.
#pragma once

#include "constants.h"
#include "debugmoduleobject.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class DebugPage;
class ReportRun;
class SosOptions;
struct SystemPaths;
class ReproducePanel;

class ReproduceFlow : public QObject
{
    Q_OBJECT

public:
    // What the flow takes from the extended settings: the case id set there (empty when none)
    // and what the installed sos accepts, read on first need.
    struct Sources
    {
        std::function<QString()> caseId;
        std::function<SosOptions *()> sosOptions;
    };

    // Panels and boxes show over window.
    ReproduceFlow(QWidget *window, ReportRun &run, DebugPage &page, const SystemPaths &paths,
                  const Sources &sources);

    bool isActive() const { return stage != Idle; }
    // The service whose debug mode the flow looks after; empty when there is none.
    QString service() const { return isActive() ? serviceName : QString(); }

    // Starts the flow for the module; while a flow is under way, shows its panel again instead.
    void start(DebugModuleObject *module);
    // Takes up a flow that an earlier window left with debug mode on.
    void resume();
    // The window is about to close: says so when debug mode stays on.
    void windowClosing();

    // The report was protected: the flow offers its protected form from then on.
    void followProtection(const QString &report);

signals:
    void activeChanged();
    // Protect or send the report the flow collected.
    void protectRequested(const QString &report);
    void sendRequested(const QString &report);

private:
    enum Stage
    {
        Idle,
        SwitchingOn,
        Waiting,
        Collecting,
        SwitchingOff,
        StillOn,
        Ended
    };

    void followSwitch(DebugModuleObject *module, bool rollback, bool succeeded,
                      const QString &failure);
    void collect();
    void collected(const QString &archive);
    void cancel();
    void protect();
    void send();
    void close();
    void switchOff();
    void switchedOff();
    void quit();
    void setStage(Stage next);
    void showWaiting();
    void showStillOn(const QString &reason, const QString &failure = QString());
    void showNotSwitchedOn();
    void showReport();
    QString stillOnText() const;
    QString rebootNote() const;
    QStringList runArguments(QString &note) const;
    QStringList knownPlugins(QStringList &unknown) const;
    static QString pluginNote(const QStringList &known, const QStringList &unknown);
    void store() const;
    void forget() const;
    ReproducePanel *panel();

    QWidget *window;
    ReportRun &run;
    DebugPage &page;
    const SystemPaths &paths;
    Sources sources;
    ReproducePanel *reproducePanel = nullptr;
    Stage stage = Idle;
    QString serviceName;
    QDateTime since;
    // Before the switch-on: a failed switch that changed nothing leaves nothing to undo.
    ModuleState stateBefore = ModuleState::Unknown;
    // Taken up from an earlier window rather than started here.
    bool resumed = false;
    bool hasCollected = false;
    QString archive;
    // Why debug mode is still on, while it is.
    QString stillOnReason;
    // What failed when debug mode was to be switched on; empty otherwise.
    QString switchOnFailure;
};
