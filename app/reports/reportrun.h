// SPDX-License-Identifier: GPL-2.0-or-later
// This user's report run, followed through the helper's record of it: one started here or one
// that outlived an earlier window. Every second it asks how the run goes and tells the progress;
// a run without output for a long time counts as stalled; Stop interrupts it; once the helper no
// longer knows the run, ps decides whether it still runs; a finished archive is split into
// volumes where that was asked for; the end is told once, and on the desktop when the user
// looks elsewhere. The window owns the timers and the ps process and shows what is told.
#pragma once

#include "reportrunwatch.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QProcess;
class QTimer;

namespace KroAdmin {
class DbusService;
struct HelperReply;
} // namespace KroAdmin

class ReportRun : public QObject
{
    Q_OBJECT

public:
    using Outcome = ReportRunWatch::Outcome;
    // Whether the user is looking elsewhere, to be told of the end on the desktop.
    using AwayCheck = std::function<bool()>;

    // checkTimer paces the questions, unlockTimer the stall test, ps answers for a run the
    // helper forgot.
    ReportRun(KroAdmin::DbusService &service, QTimer &checkTimer, QTimer &unlockTimer, QProcess &ps,
              const AwayCheck &userAway, QObject *parent = nullptr);

    // Asks the helper to start sos with --batch and arguments; the archive is split into
    // volumes of splitVolumeMiB afterwards when that is above 0. answered hears whether a run
    // started (false as well when a run is followed already).
    void start(const QStringList &arguments, int splitVolumeMiB,
               const std::function<void(bool started)> &answered = {});
    // Asks whether a run of this user goes on, and follows it if so.
    void query();
    // Follows the run of process pid, started elsewhere, as if it had been started here.
    void follow(qint64 pid);
    // The check timer's tick.
    void check();
    // ps has answered about the run's process.
    void readPsAnswer();
    // The unlock timer's tick: stalled() when the run made no progress for the timer's length.
    void checkStall();
    // Interrupts the run; it then ends as stopped.
    void stop();

    bool isFollowed() const;
    bool isStarting() const { return starting; }
    qint64 pid() const { return reportPid; }

signals:
    void started(qint64 pid);
    // percent is -1 while the number of plugins is unknown.
    void progressed(int percent, const QString &text);
    void stalled();
    // archive is the new report (its split form where it was split), text what the status bar
    // or the failure box tells.
    void ended(ReportRun::Outcome outcome, const QString &archive, const QString &text);
    // A call of the run to the helper failed; the reply says why.
    void helperFailed(const KroAdmin::HelperReply &reply);

private:
    void readState(const KroAdmin::HelperReply &reply);
    void finish();
    void splitThenEnd(const QString &archive, const QString &saved);
    void notifyIfAway(const QString &summary, const QString &body) const;

    KroAdmin::DbusService &service;
    QTimer &checkTimer;
    QTimer &unlockTimer;
    QProcess &ps;
    AwayCheck userAway;
    ReportRunWatch watch;
    qint64 reportPid = -1;
    // A run was asked for and the helper has not answered yet.
    bool starting = false;
    // A question about the run is on its way; one at a time.
    bool asking = false;
    // Counts the questions, so that an answer to one asked before a run started is ignored.
    int question = 0;
    int splitVolumeMiB = 0;
};
