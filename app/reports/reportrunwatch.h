// SPDX-License-Identifier: GPL-2.0-or-later
// Reads how a report run goes from the helper's record of it (a map with the keys of
// HelperProtocol): whether it runs, has stalled, ended well, failed or was stopped, and what the
// progress dialog and the status bar say about it. When the helper no longer knows the run, the
// answer of ps decides whether its process is still alive.
#pragma once

#include <QCoreApplication>
#include <QMetaType>
#include <QVariantMap>

class ReportRunWatch
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    enum Outcome
    {
        Running,
        Succeeded,
        Failed,
        Stopped,
        Unknown // ended after the helper forgot it
    };

    // The helper's latest answer.
    void update(const QVariantMap &answer) { state = answer; }
    // The helper knows the run no more.
    void forget() { state.clear(); }
    // The user asked to stop the run: its end is no failure.
    void markStopRequested() { stopRequested = true; }

    bool isRunning() const;
    Outcome outcome() const;
    qint64 processId() const;
    QString archive() const;
    // No output for limitSeconds, or nothing known about it.
    bool isStalled(int limitSeconds) const;
    // Finished of all plugins, -1 while their number is unknown.
    int percent() const;
    // "Collecting: N of M plugins, NAME" and the elapsed time as m:ss, one a line.
    QString progressText() const;
    QString failureText() const;
    QString savedText() const;

    // ps arguments that print the state and the name of process pid.
    static QStringList psArguments(qint64 pid);
    // Whether that output shows a report run that is no zombie.
    static bool psShowsRunning(const QByteArray &output);

private:
    QVariantMap state;
    bool stopRequested = false;
};
Q_DECLARE_METATYPE(ReportRunWatch::Outcome)
