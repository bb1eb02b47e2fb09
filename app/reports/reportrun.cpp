// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportrun.h"

#include "constants.h"
#include "dbusservice.h"
#include "desktopnotifier.h"
#include "helperprotocol.h"
#include "reportnames.h"

#include <QProcess>
#include <QTimer>

ReportRun::ReportRun(KroAdmin::DbusService &service, QTimer &checkTimer, QTimer &unlockTimer,
                     QProcess &ps, const AwayCheck &userAway, QObject *parent)
    : QObject(parent), service(service), checkTimer(checkTimer), unlockTimer(unlockTimer), ps(ps),
      userAway(userAway)
{
    // The end may be queued or spied on.
    qRegisterMetaType<ReportRun::Outcome>("ReportRun::Outcome");
}

bool ReportRun::isFollowed() const
{
    return checkTimer.isActive();
}

void ReportRun::start(const QStringList &arguments, int volumeMiB,
                      const std::function<void(bool started)> &answered)
{
    if (isFollowed() || starting) {
        if (answered)
            answered(false);
        return;
    }
    // A question about runs answered meanwhile could tell of this very run and follow it twice:
    // answers to earlier questions are ignored, and none is asked until the helper has answered.
    starting = true;
    ++question;
    service.execSmthDetachedWithArgs(
        Kro::SosreportProgram, QStringList{Kro::BatchOption} + arguments, this,
        [this, volumeMiB, answered](const KroAdmin::HelperReply &reply) {
            starting = false;
            const bool running = reply.succeeded() && reply.pid >= 0;
            if (running) {
                watch = ReportRunWatch();
                splitVolumeMiB = volumeMiB;
                follow(reply.pid);
            } else {
                emit helperFailed(reply);
                // The refusal may be a run of this user's that is still going.
                query();
            }
            if (answered)
                answered(running);
        });
}

void ReportRun::query()
{
    if (asking || starting)
        return;
    asking = true;
    const int asked = ++question;
    service.queryReportRun(this, [this, asked](const KroAdmin::HelperReply &reply) {
        asking = false;
        if (asked == question)
            readState(reply);
    });
}

void ReportRun::check()
{
    if (reportPid < 1) {
        checkTimer.stop();
        return;
    }
    if (ps.state() == QProcess::NotRunning)
        query();
}

void ReportRun::readPsAnswer()
{
    if (ps.exitStatus() != QProcess::NormalExit || reportPid < 1 ||
        ReportRunWatch::psShowsRunning(ps.readAllStandardOutput()))
        return;
    finish();
}

void ReportRun::checkStall()
{
    // A long run that still makes progress is no reason to unlock.
    if (watch.isStalled(unlockTimer.interval() / 1000))
        emit stalled();
    else
        unlockTimer.start();
}

void ReportRun::stop()
{
    watch.markStopRequested();
    service.stopReportRun(this, [this](const KroAdmin::HelperReply &reply) {
        // A run that ended meanwhile needs no stopping.
        if (!reply.succeeded() && reply.protocolError != HelperProtocol::NoRun)
            emit helperFailed(reply);
    });
}

void ReportRun::follow(qint64 pid)
{
    reportPid = pid;
    checkTimer.start();
    unlockTimer.start();
    emit started(pid);
}

void ReportRun::readState(const KroAdmin::HelperReply &reply)
{
    if (!reply.succeeded()) {
        // The helper forgot the run or is gone (restarted or killed, say): ps tells whether it
        // runs.
        const bool forgotten = reply.protocolError == HelperProtocol::NoRun ||
                               reply.busError == QDBusError::ServiceUnknown;
        if (reportPid > 0 && forgotten) {
            watch.forget();
            ps.setArguments(ReportRunWatch::psArguments(reportPid));
            ps.start(QIODevice::ReadOnly);
        }
        return;
    }
    watch.update(reply.state);
    if (reportPid < 1) {
        // A run that outlived an earlier window.
        if (watch.isRunning()) {
            splitVolumeMiB = 0;
            follow(watch.processId());
            emit progressed(watch.percent(), watch.progressText());
        }
    } else if (watch.isRunning()) {
        emit progressed(watch.percent(), watch.progressText());
    } else {
        finish();
    }
}

void ReportRun::finish()
{
    checkTimer.stop();
    unlockTimer.stop();
    reportPid = -1;
    const Outcome outcome = watch.outcome();
    switch (outcome) {
    case ReportRunWatch::Succeeded:
        notifyIfAway(tr("The report is ready"), watch.savedText());
        splitThenEnd(watch.archive(), watch.savedText());
        return;
    case ReportRunWatch::Failed:
        notifyIfAway(tr("The report could not be collected"), watch.failureText());
        emit ended(outcome, QString(), watch.failureText());
        return;
    default:
        emit ended(outcome, QString(), QString());
    }
}

// sos 4.0 cannot split its archive: the helper does it once the archive is in its place.
void ReportRun::splitThenEnd(const QString &archive, const QString &saved)
{
    const int volumeMiB = splitVolumeMiB;
    if (volumeMiB <= 0) {
        emit ended(ReportRunWatch::Succeeded, archive, saved);
        return;
    }
    service.splitReport(archive, volumeMiB, this,
                        [this, archive, volumeMiB, saved](const KroAdmin::HelperReply &reply) {
                            if (!reply.succeeded()) {
                                // Told once the window is no longer locked for the run.
                                emit ended(ReportRunWatch::Succeeded, archive, saved);
                                emit helperFailed(reply);
                                return;
                            }
                            const QString zip = ReportNames::splitStem(archive) + QLatin1Char('.') +
                                                ReportNames::MultiVolumeExtension;
                            emit ended(
                                ReportRunWatch::Succeeded, zip,
                                tr("Report saved in volumes of %1 MB: %2").arg(volumeMiB).arg(zip));
                        });
}

// A user who went elsewhere during a long run learns from the desktop that it has ended.
void ReportRun::notifyIfAway(const QString &summary, const QString &body) const
{
    if (userAway && userAway())
        KroAdmin::DesktopNotifier().notify(summary, body);
}
