// SPDX-License-Identifier: GPL-2.0-or-later
// The helper's D-Bus object: every call is first authorized with polkit for the calling bus
// client and the kind of work it asks for, then runs a program, moves a file or acts on a report
// as root. Replies are sent when the work is done, so that one slow program or password prompt
// never holds up the other callers. Programs run for a caller end when it leaves the bus, and
// the helper leaves after an idle minute. Nothing a caller sends can silence the helper for the
// others: a call too large, or one more than its caller or user may have waiting, is refused at
// once, before anything of it is kept. Under the report permission only the installed sos runs,
// and only with the options SosArguments lists.
#pragma once

#include "authorizer.h"
#include "calllimits.h"
#include "programrunner.h"
#include "reportruns.h"
#include "workfolders.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class ReportFile;

class HelperService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", KRO_HELPER_SERVICE)

public:
    // standInDir: programs searched first (tests only); stateDir: where report runs write and
    // work folders are noted; sosConfig: sos's configuration file. Removes at once the work
    // folders that a killed helper left.
    HelperService(const QDBusConnection &bus, const QString &standInDir, const QString &stateDir,
                  const QString &sosConfig, QObject *parent = nullptr);

public slots:
    // Runs the program, waits for it and replies its exit status (-1 when it crashed), its
    // standard output and its error output. input is written to its standard input.
    Q_SCRIPTABLE int Exec(const QString &program, const QStringList &arguments,
                          const QByteArray &input, QByteArray &output, QByteArray &errorOutput);
    // Starts a report run (sosreport only, one per user) in a session of its own, so that it
    // outlives its caller, and replies its process number.
    Q_SCRIPTABLE qlonglong ExecDetached(const QString &program, const QStringList &arguments);
    // How the caller's report run goes (keys in HelperProtocol); the NoRun error when none.
    Q_SCRIPTABLE QVariantMap ReportState();
    // Interrupts the caller's report run.
    Q_SCRIPTABLE void StopReport();
    Q_SCRIPTABLE void Move(const QString &source, const QString &destination);
    // Replaces the report by its copy encrypted with key (one line) beside it.
    Q_SCRIPTABLE void Protect(const QString &report, const QByteArray &key);
    // Lets the caller, and nobody else, read the report.
    Q_SCRIPTABLE void MakeReadable(const QString &report);
    // Replaces the report by a split zip beside it, in volumes of volumeMiB (1 to 100) MiB.
    Q_SCRIPTABLE void Split(const QString &report, int volumeMiB);
    // Removes the files of one report set (archive, volumes, checksums, protected forms, private
    // map), all in one folder; refused as a whole when any of them may not be removed.
    Q_SCRIPTABLE void DeleteReports(const QStringList &reports);

private:
    using Job = std::function<void(const QDBusMessage &call, uint callerUid)>;

    void authorizeThen(const QString &actionId, Job job);
    void refuse(const QDBusMessage &call, Authorizer::Verdict verdict);
    // Whether the current call's arguments are within MaxCallBytes; refuses it at once if not.
    bool isSmallEnough();
    // Whether sos at path may get arguments; answers call with the refusal if not.
    bool sosArgumentsPass(const QDBusMessage &call, const QString &path,
                          const QStringList &arguments);
    void callerLeft(const QString &busName);
    void leaveIfIdle();
    void protect(const QDBusMessage &call, const std::shared_ptr<ReportFile> &report,
                 const QByteArray &key);
    void split(const QDBusMessage &call, const std::shared_ptr<ReportFile> &report, int volumeMiB);
    void runThenReply(const QDBusMessage &call, ProgramRunner::Job job,
                      const std::function<QString()> &keep, const std::function<void()> &discard);
    void reply(const QDBusMessage &call, const QDBusMessage &answer);
    void replyError(const QDBusMessage &call, const QString &errorName, const QString &text);
    std::shared_ptr<ReportFile> openReportOrRefuse(const QDBusMessage &call, uint uid,
                                                   const QString &report);
    QString resolveOrRefuse(const QDBusMessage &call, const QString &program);
    void refuseMissing(const QDBusMessage &call, const QString &program);
    QString sosTmpDir() const;

    QDBusConnection bus;
    Authorizer *authorizer;
    ProgramRunner runner;
    QString sosConfig;
    WorkFolders workFolders;
    ReportRuns runs;
    QDBusServiceWatcher callers;
    QTimer idleTimer;
    CallLimits waiting;
    int busy = 0;
};
