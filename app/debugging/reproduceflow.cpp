// SPDX-License-Identifier: GPL-2.0-or-later
#include "reproduceflow.h"

#include "debugmoduleobject.h"
#include "debugpage.h"
#include "reportnames.h"
#include "reportrun.h"
#include "reproducepanel.h"
#include "sosarguments.h"
#include "sosoptions.h"
#include "systempaths.h"

#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>

namespace {

// Logs written just before the switch, by the service's restart for one, belong to the report.
const int SinceMarginSeconds = 5 * 60;
// The form of --since that sos takes: YYYYMMDD[HHMMSS], local time.
const QString SinceFormat = QStringLiteral("yyyyMMddHHmmss");

} // namespace

ReproduceFlow::ReproduceFlow(QWidget *window, ReportRun &run, DebugPage &page,
                             const SystemPaths &paths, const Sources &sources)
    : QObject(window), window(window), run(run), page(page), paths(paths), sources(sources)
{
    connect(&run, &ReportRun::ended, this,
            [this](ReportRun::Outcome, const QString &archive) { collected(archive); });
    connect(&page, &DebugPage::switchFinished, this, &ReproduceFlow::followSwitch);
}

void ReproduceFlow::start(DebugModuleObject *module)
{
    if (isActive()) {
        panel()->show();
        panel()->raise();
        return;
    }
    if (!module)
        return;
    serviceName = module->name();
    since = QDateTime::currentDateTime();
    stateBefore = module->state();
    resumed = false;
    hasCollected = false;
    archive.clear();
    switchOnFailure.clear();
    sources.sosOptions();
    setStage(SwitchingOn);
    page.requestSwitch(module, false, true);
}

void ReproduceFlow::resume()
{
    QSettings settings;
    const QString stored = settings.value(Kro::ReproduceServiceKey).toString();
    if (isActive() || stored.isEmpty())
        return;
    serviceName = stored;
    since = settings.value(Kro::ReproduceSinceKey).toDateTime();
    if (!since.isValid())
        since = QDateTime::currentDateTime();
    resumed = true;
    hasCollected = false;
    archive.clear();
    switchOnFailure.clear();
    const DebugModuleObject *module = page.moduleNamed(serviceName);
    if (module && module->state() == ModuleState::NotActive) {
        // Switched off some other way meanwhile.
        forget();
        return;
    }
    if (!module) {
        forget();
        setStage(Ended);
        panel()->showEnded(stillOnText() + QLatin1Char('\n') +
                               tr("Its debug module is not loaded: switch debug logging off "
                                  "by hand."),
                           false, false);
        return;
    }
    sources.sosOptions();
    setStage(Waiting);
    showWaiting();
}

void ReproduceFlow::windowClosing()
{
    // Hidden, not closed: closing the panel is a way out of the flow, which switches debug
    // logging off, and a panel left open would keep the application running unseen.
    if (reproducePanel)
        reproducePanel->hide();
    if (stage != Waiting && stage != Collecting && stage != StillOn)
        return;
    QMessageBox::information(window, tr("Attention!"),
                             tr("Debug logging is still on for %1. The next start offers to "
                                "collect the report or to switch it off.")
                                 .arg(serviceName),
                             QMessageBox::Ok);
}

// The switches are quiet: the panel says how they went, in the flow's words.
void ReproduceFlow::followSwitch(DebugModuleObject *module, bool rollback, bool succeeded,
                                 const QString &failure)
{
    if (!module || module->name() != serviceName)
        return;
    if (stage == SwitchingOn && !rollback) {
        switchOnFailure = failure;
        if (succeeded) {
            store();
            setStage(Waiting);
            showWaiting();
        } else if (module->state() == ModuleState::NotActive || module->state() == stateBefore) {
            if (failure.isEmpty()) // the session question was declined
                quit();
            else
                showNotSwitchedOn();
        } else {
            // Partly on: kept in the store until undone, at once, with the switch's questions.
            store();
            switchOff();
        }
    } else if (stage == SwitchingOff && rollback) {
        if (succeeded)
            switchedOff();
        else
            showStillOn(tr("It could not be switched off."), failure);
    } else if ((stage == Waiting || stage == StillOn) && rollback && succeeded) {
        // Switched off from the service row.
        forget();
        quit();
    }
}

void ReproduceFlow::collected(const QString &archive)
{
    if (stage != Collecting)
        return;
    hasCollected = true;
    this->archive = archive;
    switchOff();
}

void ReproduceFlow::collect()
{
    if (stage != Waiting)
        return;
    QString note;
    const QStringList arguments = runArguments(note);
    setStage(Collecting);
    panel()->setNote(note);
    panel()->showBusy(tr("Collecting a report about %1...").arg(serviceName));
    run.start(arguments, 0, [this](bool started) {
        if (started || stage != Collecting)
            return;
        setStage(Waiting);
        showWaiting();
    });
}

void ReproduceFlow::cancel()
{
    if (stage == Waiting || stage == StillOn)
        switchOff();
}

void ReproduceFlow::protect()
{
    emit protectRequested(archive);
}

void ReproduceFlow::followProtection(const QString &report)
{
    if (report != archive)
        return;
    archive += ReportNames::ProtectedSuffix;
    if (stage == Ended)
        showReport();
    else
        showStillOn(stillOnReason);
}

void ReproduceFlow::send()
{
    emit sendRequested(archive);
}

void ReproduceFlow::close()
{
    if (stage == Waiting)
        cancel();
    else if (stage == StillOn)
        // Stays stored: the next start, or the row's button, brings it back.
        panel()->hide();
    else if (stage == Ended)
        quit();
}

void ReproduceFlow::switchOff()
{
    DebugModuleObject *module = page.moduleNamed(serviceName);
    if (!module) {
        showStillOn(tr("Its debug module is no longer loaded."));
        return;
    }
    setStage(SwitchingOff);
    panel()->showBusy(tr("Switching debug logging off for %1...").arg(serviceName));
    page.requestSwitch(module, true, true);
}

void ReproduceFlow::switchedOff()
{
    forget();
    if (!switchOnFailure.isEmpty()) {
        showNotSwitchedOn();
        return;
    }
    if (!hasCollected) {
        // Cancelled: the row shows debug mode off, and the panel goes as the user asked.
        quit();
        return;
    }
    setStage(Ended);
    showReport();
}

void ReproduceFlow::quit()
{
    setStage(Idle);
    if (reproducePanel)
        reproducePanel->hide();
}

void ReproduceFlow::setStage(Stage next)
{
    stage = next;
    emit activeChanged();
}

void ReproduceFlow::showWaiting()
{
    if (resumed)
        panel()->showWaiting(stillOnText(), since, tr("&Collect now"), tr("&Switch off"));
    else
        panel()->showWaiting(tr("Debug logging is on for %1. Reproduce the problem now, then "
                                "press Collect.")
                                     .arg(serviceName) +
                                 rebootNote(),
                             since, tr("&Collect"), tr("C&ancel"));
    QStringList unknown;
    const QStringList known = knownPlugins(unknown);
    panel()->setNote(pluginNote(known, unknown));
}

void ReproduceFlow::showStillOn(const QString &reason, const QString &failure)
{
    stillOnReason = reason;
    setStage(StillOn);
    const QString text = tr("Debug logging is still on for %1. %2 Until it is off, every start "
                            "reminds of it.")
                             .arg(serviceName, reason);
    panel()->showEnded(failure.isEmpty() ? text : text + QStringLiteral("\n\n") + failure,
                       hasCollected && !archive.isEmpty(),
                       !archive.endsWith(ReportNames::ProtectedSuffix), tr("&Switch off"));
}

// Nothing of debug mode stays on: what failed, and no report.
void ReproduceFlow::showNotSwitchedOn()
{
    setStage(Ended);
    panel()->setNote(QString());
    panel()->showEnded(tr("Debug logging could not be switched on for %1.").arg(serviceName) +
                           QStringLiteral("\n\n") + switchOnFailure,
                       false, false);
}

void ReproduceFlow::showReport()
{
    const QString off = tr("Debug logging is off again for %1.").arg(serviceName);
    if (archive.isEmpty()) {
        panel()->showEnded(off + QLatin1Char(' ') + tr("No report was collected."), false, false);
        return;
    }
    panel()->showEnded(off + QLatin1Char('\n') + tr("The report is ready: %1").arg(archive), true,
                       !archive.endsWith(ReportNames::ProtectedSuffix));
}

// The switch's own message about a reboot is not shown: the panel says it instead.
QString ReproduceFlow::rebootNote() const
{
    DebugModuleObject *module = page.moduleNamed(serviceName);
    if (!module || !page.isRebootRequired(module))
        return QString();
    return QLatin1Char('\n') + tr("It takes effect after a reboot: reproduce the problem then; "
                                  "the next start offers to collect the report.");
}

QString ReproduceFlow::stillOnText() const
{
    return tr("Debug logging is still on for %1 since %2")
        .arg(serviceName, QLocale().toString(since, QLocale::ShortFormat));
}

QStringList ReproduceFlow::runArguments(QString &note) const
{
    QVariantMap settings;
    const QString caseId = sources.caseId();
    if (!caseId.isEmpty())
        settings.insert(Kro::CaseIdOption, caseId);
    settings.insert(Kro::SinceOption, since.addSecs(-SinceMarginSeconds).toString(SinceFormat));
    QStringList unknown;
    const QStringList plugins = knownPlugins(unknown);
    if (!plugins.isEmpty())
        settings.insert(Kro::OnlyPluginsOption, plugins);

    const QVariantMap accepted = sources.sosOptions()->acceptedOnly(settings);
    QStringList refused;
    for (const QString &option : settings.keys())
        if (!accepted.contains(option))
            refused << option;
    note = pluginNote(plugins, unknown);
    if (!refused.isEmpty())
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) +
                tr("The installed sos does not accept %1: the report is collected without it.")
                    .arg(refused.join(QStringLiteral(", ")));
    return SosArguments::fromSettings(accepted);
}

QStringList ReproduceFlow::knownPlugins(QStringList &unknown) const
{
    const DebugModuleObject *module = page.moduleNamed(serviceName);
    if (!module)
        return {};
    unknown = SosOptions::unknownPlugins(module->plugins(), paths.sosPluginDir);
    QStringList known = module->plugins();
    for (const QString &plugin : qAsConst(unknown))
        known.removeAll(plugin);
    return known;
}

QString ReproduceFlow::pluginNote(const QStringList &known, const QStringList &unknown)
{
    if (unknown.isEmpty())
        return QString();
    QString note = tr("Plugins the installed sos does not know are left out: %1.")
                       .arg(unknown.join(QStringLiteral(", ")));
    if (known.isEmpty())
        note += QLatin1Char(' ') + tr("The report is collected with the default plugins.");
    return note;
}

void ReproduceFlow::store() const
{
    QSettings settings;
    settings.setValue(Kro::ReproduceServiceKey, serviceName);
    settings.setValue(Kro::ReproduceSinceKey, since);
}

void ReproduceFlow::forget() const
{
    QSettings settings;
    settings.remove(Kro::ReproduceServiceKey);
    settings.remove(Kro::ReproduceSinceKey);
}

ReproducePanel *ReproduceFlow::panel()
{
    if (!reproducePanel) {
        reproducePanel = new ReproducePanel(window);
        connect(reproducePanel, &ReproducePanel::collectClicked, this, &ReproduceFlow::collect);
        connect(reproducePanel, &ReproducePanel::cancelClicked, this, &ReproduceFlow::cancel);
        connect(reproducePanel, &ReproducePanel::protectClicked, this, &ReproduceFlow::protect);
        connect(reproducePanel, &ReproducePanel::sendClicked, this, &ReproduceFlow::send);
        connect(reproducePanel, &ReproducePanel::closeClicked, this, &ReproduceFlow::close);
    }
    return reproducePanel;
}
