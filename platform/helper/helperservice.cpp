// SPDX-License-Identifier: GPL-2.0-or-later
#include "helperservice.h"

#include "authorizer.h"
#include "filemover.h"
#include "helperprotocol.h"
#include "reportfile.h"
#include "reportset.h"
#include "reportvolumes.h"
#include "sosarguments.h"
#include "sosconfig.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int IdleExitMs = 60000;
// A program run for a caller that has not ended after this long is stopped.
const int ExecTimeLimitMs = 5 * 60 * 1000;
const int MinVolumeMiB = 1;
const int MaxVolumeMiB = 100;

const QString ReportAction = QStringLiteral(KRO_REPORT_ACTION);
const QString ConfigureAction = QStringLiteral(KRO_CONFIGURE_ACTION);

// Calls waiting for their answer, of all users: a bound on what the helper keeps.
const int CallsOverall = 1024;

// What the call's arguments hold, text counted in characters.
qint64 argumentBytes(const QVariantList &arguments)
{
    qint64 bytes = 0;
    for (const QVariant &argument : arguments) {
        if (argument.userType() == QMetaType::QString)
            bytes += argument.toString().size();
        else if (argument.userType() == QMetaType::QByteArray)
            bytes += argument.toByteArray().size();
        else if (argument.userType() == QMetaType::QStringList)
            for (const QString &text : argument.toStringList())
                bytes += text.size() + 1;
        else
            bytes += 8;
    }
    return bytes;
}

// The key travels to ccrypt on a pipe: arguments are visible to every user.
UniqueFd keyPipe(const QByteArray &key)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return UniqueFd();
    UniqueFd readEnd(ends[0]);
    const UniqueFd writeEnd(ends[1]);
    const QByteArray line = key + '\n';
    if (write(writeEnd.get(), line.constData(), size_t(line.size())) != line.size())
        return UniqueFd();
    return readEnd;
}

// A report is collected only as a followed run, in a working folder of the helper's own that
// goes with the run: a waiting call runs sos only to list its plugins.
bool listsPlugins(const QStringList &arguments)
{
    return arguments.contains(SosArguments::ListPlugins) ||
           arguments.contains(SosArguments::ListPluginsShort);
}

} // namespace

HelperService::HelperService(const QDBusConnection &bus, const QString &standInDir,
                             const QString &stateDir, const QString &sosConfig, QObject *parent)
    : QObject(parent), bus(bus), authorizer(new Authorizer(this)), runner(standInDir),
      sosConfig(sosConfig), workFolders(stateDir), runs(workFolders, sosConfig, runner),
      callers(QString(), bus, QDBusServiceWatcher::WatchForUnregistration),
      waiting(HelperProtocol::CallsPerCaller, HelperProtocol::CallsPerUser, CallsOverall)
{
    workFolders.removeLeftovers();
    connect(&callers, &QDBusServiceWatcher::serviceUnregistered, this, &HelperService::callerLeft);
    idleTimer.setSingleShot(true);
    idleTimer.setInterval(IdleExitMs);
    connect(&idleTimer, &QTimer::timeout, this, &HelperService::leaveIfIdle);
    connect(&runs, &ReportRuns::forgotten, this, &HelperService::leaveIfIdle);
    idleTimer.start();
}

// The action is chosen by the program that would run, never by the name asked for: sos with
// listed options is a report, anything else changes the system.
int HelperService::Exec(const QString &program, const QStringList &arguments,
                        const QByteArray &input, QByteArray &, QByteArray &)
{
    if (!isSmallEnough())
        return 0;
    const QString path = runner.resolve(program);
    const bool sos = runner.isSos(path);
    authorizeThen(sos ? ReportAction : ConfigureAction, [=](const QDBusMessage &call, uint uid) {
        if (path.isEmpty())
            return refuseMissing(call, program);
        if (sos && !listsPlugins(arguments))
            return replyError(call, HelperProtocol::ArgumentsRefusedError,
                              "sos collects a report only as a followed run.");
        if (sos && !sosArgumentsPass(call, path, arguments))
            return;
        ProgramRunner::Job job;
        job.path = path;
        qInfo("uid %u runs %s %s", uid, qPrintable(job.path),
              qPrintable(ProgramRunner::loggable(job.path, arguments).join(' ')));
        job.arguments = arguments;
        job.input = input;
        job.owner = call.service();
        job.timeLimitMs = ExecTimeLimitMs;
        const bool started = runner.run(job, [this, call](const ProgramRunner::Result &result) {
            if (result.timedOut)
                replyError(call, HelperProtocol::TimedOutError,
                           "The program did not end in time and was stopped.");
            else
                reply(call, call.createReply(QVariantList{result.exitStatus, result.output,
                                                          result.errorOutput}));
        });
        if (!started)
            replyError(call, HelperProtocol::FailedError, "The program could not be started.");
    });
    return 0;
}

qlonglong HelperService::ExecDetached(const QString &program, const QStringList &arguments)
{
    if (!isSmallEnough())
        return 0;
    const QString path = runner.resolve(program);
    authorizeThen(ReportAction, [=](const QDBusMessage &call, uint uid) {
        if (!runner.isSos(path))
            return replyError(
                call, HelperProtocol::NotFoundError,
                QStringLiteral("Only the installed sos runs detached, not \"%1\".").arg(program));
        if (!sosArgumentsPass(call, path, arguments))
            return;
        qInfo("uid %u starts %s %s", uid, qPrintable(path),
              qPrintable(ProgramRunner::loggable(path, arguments).join(' ')));
        if (runs.isAlive(uid))
            return replyError(call, HelperProtocol::RunAliveError,
                              "A report run you started is still going.");
        qint64 pid = -1;
        const QString failure = runs.start(uid, path, arguments, pid);
        if (!failure.isEmpty())
            replyError(call, HelperProtocol::FailedError, failure);
        else
            reply(call, call.createReply(QVariant::fromValue(qlonglong(pid))));
    });
    return 0;
}

// Answered without asking polkit: a user learns only about the run that user was allowed to
// start, and a window polling it never meets a password prompt.
QVariantMap HelperService::ReportState()
{
    const auto uid = bus.interface()->serviceUid(message().service());
    const QVariantMap state = uid.isValid() ? runs.state(uid.value()) : QVariantMap();
    if (state.isEmpty())
        sendErrorReply(HelperProtocol::NoRunError, "No report run of yours is known.");
    return state;
}

void HelperService::StopReport()
{
    authorizeThen(ReportAction, [=](const QDBusMessage &call, uint uid) {
        qInfo("uid %u stops its report run", uid);
        if (runs.stop(uid))
            reply(call, call.createReply());
        else
            replyError(call, HelperProtocol::NoRunError, "No report run of yours is going.");
    });
}

void HelperService::Move(const QString &source, const QString &destination)
{
    authorizeThen(ConfigureAction, [=](const QDBusMessage &call, uint uid) {
        qInfo("uid %u moves %s to %s", uid, qPrintable(source), qPrintable(destination));
        const QString failure = FileMover::move(workFolders, uid, source, destination);
        if (failure.isEmpty())
            reply(call, call.createReply());
        else
            replyError(call, HelperProtocol::MoveRefusedError, failure);
    });
}

void HelperService::Protect(const QString &report, const QByteArray &key)
{
    if (key.isEmpty() || key.size() > HelperProtocol::MaxKeyBytes || key.contains('\n')) {
        sendErrorReply(HelperProtocol::FileRefusedError,
                       "the password must be one line of at most 4096 bytes");
        return;
    }
    authorizeThen(ReportAction, [=](const QDBusMessage &call, uint uid) {
        qInfo("uid %u protects %s", uid, qPrintable(report));
        if (const auto file = openReportOrRefuse(call, uid, report))
            protect(call, file, key);
    });
}

void HelperService::MakeReadable(const QString &report)
{
    authorizeThen(ReportAction, [=](const QDBusMessage &call, uint uid) {
        qInfo("uid %u opens up %s", uid, qPrintable(report));
        const auto file = openReportOrRefuse(call, uid, report);
        if (!file)
            return;
        const QString failure = file->makeReadable(uid);
        if (failure.isEmpty())
            reply(call, call.createReply());
        else
            replyError(call, HelperProtocol::FileRefusedError, failure);
    });
}

void HelperService::Split(const QString &report, int volumeMiB)
{
    if (volumeMiB < MinVolumeMiB || volumeMiB > MaxVolumeMiB) {
        sendErrorReply(HelperProtocol::FileRefusedError, "a volume must hold from 1 to 100 MiB");
        return;
    }
    authorizeThen(ReportAction, [=](const QDBusMessage &call, uint uid) {
        qInfo("uid %u splits %s into %d MiB volumes", uid, qPrintable(report), volumeMiB);
        if (const auto file = openReportOrRefuse(call, uid, report))
            split(call, file, volumeMiB);
    });
}

void HelperService::DeleteReports(const QStringList &reports)
{
    authorizeThen(ReportAction, [=](const QDBusMessage &call, uint uid) {
        qInfo("uid %u deletes %s", uid, qPrintable(reports.join(' ')));
        ReportSet set;
        QString failure = set.open(uid, reports, sosTmpDir());
        if (!failure.isEmpty())
            return replyError(call, HelperProtocol::FileRefusedError, failure);
        failure = set.remove();
        if (failure.isEmpty())
            reply(call, call.createReply());
        else
            replyError(call, HelperProtocol::FailedError, failure);
    });
}

// zip reads the opened report on its standard input and writes into a work folder it reaches
// through a descriptor, so, as for ccrypt, no name is resolved again after the checks.
void HelperService::split(const QDBusMessage &call, const std::shared_ptr<ReportFile> &report,
                          int volumeMiB)
{
    ProgramRunner::Job job;
    job.path = resolveOrRefuse(call, QStringLiteral("zip"));
    if (job.path.isEmpty())
        return;
    auto volumes = std::make_shared<ReportVolumes>(report);
    const QString failure = volumes->prepare(workFolders);
    if (!failure.isEmpty())
        return replyError(call, HelperProtocol::FailedError, failure);
    job.arguments = volumes->zipArguments(volumeMiB);
    job.inputFd = report->descriptor();
    job.keyFd = volumes->workFolder();
    job.timeLimitMs = ExecTimeLimitMs;
    runThenReply(
        call, job, [volumes] { return volumes->keep(); }, [volumes] { volumes->discard(); });
}

// ccrypt works as a filter on the opened report and the new copy, so no name is ever resolved
// again after the checks.
void HelperService::protect(const QDBusMessage &call, const std::shared_ptr<ReportFile> &report,
                            const QByteArray &key)
{
    ProgramRunner::Job job;
    job.path = resolveOrRefuse(call, QStringLiteral("ccrypt"));
    if (job.path.isEmpty())
        return;
    QString failure;
    const int copy = report->createProtectedCopy(workFolders, failure);
    if (copy < 0)
        return replyError(call, HelperProtocol::FileRefusedError, failure);
    const UniqueFd keyFd = keyPipe(key);
    if (!keyFd.ok()) {
        report->discardProtectedCopy();
        return replyError(call, HelperProtocol::FailedError, "The password could not be passed.");
    }
    job.arguments = QStringList{"-e", "-k", "/proc/self/fd/" + QString::number(keyFd.get())};
    job.inputFd = report->descriptor();
    job.outputFd = copy;
    job.keyFd = keyFd.get();
    runThenReply(
        call, job, [report] { return report->keepProtectedCopy(); },
        [report] { report->discardProtectedCopy(); });
}

// Runs job for the caller; when the program fails, what it was making is discarded, otherwise
// kept, and the caller is answered either way.
void HelperService::runThenReply(const QDBusMessage &call, ProgramRunner::Job job,
                                 const std::function<QString()> &keep,
                                 const std::function<void()> &discard)
{
    job.owner = call.service();
    const QString program = QFileInfo(job.path).fileName();
    const bool started = runner.run(job, [=](const ProgramRunner::Result &result) {
        if (result.exitStatus != 0) {
            discard();
            const QString output = QString::fromLocal8Bit(result.errorOutput).trimmed();
            return replyError(call, HelperProtocol::FailedError,
                              output.isEmpty() ? program + QStringLiteral(" failed") : output);
        }
        const QString failure = keep();
        if (failure.isEmpty())
            reply(call, call.createReply());
        else
            replyError(call, HelperProtocol::FailedError, failure);
    });
    if (!started) {
        discard();
        replyError(call, HelperProtocol::FailedError, "The program could not be started.");
    }
}

// A call is kept only once it has passed the limits; a refused one is answered at once and
// freed when its slot returns. Kept, it waits for polkit and then for its work.
void HelperService::authorizeThen(const QString &actionId, Job job)
{
    if (!isSmallEnough())
        return;
    const QDBusMessage call = message();
    const auto uid = bus.interface()->serviceUid(call.service());
    if (!uid.isValid())
        return sendErrorReply(QDBusError::AccessDenied, "The caller is unknown to the bus.");
    if (!waiting.take(call.service(), uid.value()))
        return sendErrorReply(HelperProtocol::BusyError,
                              "Too many of your calls are waiting for an answer; try later.");
    setDelayedReply(true);
    ++busy;
    idleTimer.stop();
    callers.addWatchedService(call.service());
    const bool asked =
        authorizer->authorize(call.service(), uid.value(), actionId,
                              [this, call, uid = uid.value(), job](Authorizer::Verdict verdict) {
                                  if (verdict == Authorizer::Verdict::Allowed)
                                      return job(call, uid);
                                  qInfo("refused a call from %s", qPrintable(call.service()));
                                  refuse(call, verdict);
                              });
    if (!asked)
        replyError(call, HelperProtocol::BusyError,
                   "Too many of your permission checks are open; answer or close them first.");
}

// The caller learns why: it tells the user what to do next.
void HelperService::refuse(const QDBusMessage &call, Authorizer::Verdict verdict)
{
    if (verdict == Authorizer::Verdict::Dismissed)
        return replyError(call, HelperProtocol::AuthorizationDismissedError,
                          "The administrator's authentication was dismissed.");
    if (verdict == Authorizer::Verdict::NoAgent)
        return replyError(call, HelperProtocol::NoAuthenticationAgentError,
                          "No authentication agent is registered for the caller's session.");
    reply(call, call.createErrorReply(QDBusError::AccessDenied,
                                      "The administrator's permission was not granted."));
}

bool HelperService::isSmallEnough()
{
    if (argumentBytes(message().arguments()) <= HelperProtocol::MaxCallBytes)
        return true;
    sendErrorReply(
        HelperProtocol::ArgumentsRefusedError,
        QStringLiteral("The call's arguments exceed %1 bytes.").arg(HelperProtocol::MaxCallBytes));
    return false;
}

// sos runs under the report permission only with the listed options; the sos program itself
// only for its report command.
bool HelperService::sosArgumentsPass(const QDBusMessage &call, const QString &path,
                                     const QStringList &arguments)
{
    QStringList options = arguments;
    const bool command = runner.isSosCommand(path);
    if (command && options.value(0) != SosArguments::ReportCommand) {
        replyError(call, HelperProtocol::ArgumentsRefusedError,
                   "sos runs here only to collect a report (sos report).");
        return false;
    }
    if (command)
        options.removeFirst();
    const QString refusal = SosArguments::refusal(options);
    if (refusal.isEmpty())
        return true;
    qInfo("refused sos arguments from %s: %s", qPrintable(call.service()), qPrintable(refusal));
    replyError(call, HelperProtocol::ArgumentsRefusedError, refusal);
    return false;
}

// A report run it remembers keeps the helper up: its user may still ask how it went.
void HelperService::leaveIfIdle()
{
    if (busy == 0 && runs.isEmpty() && !idleTimer.isActive())
        qApp->quit();
}

void HelperService::callerLeft(const QString &busName)
{
    callers.removeWatchedService(busName);
    authorizer->withdraw(busName);
    runner.stopOwnedBy(busName);
}

void HelperService::reply(const QDBusMessage &call, const QDBusMessage &answer)
{
    if (!bus.send(answer)) {
        qWarning("cannot answer %s; telling it so", qPrintable(call.service()));
        bus.send(call.createErrorReply(HelperProtocol::FailedError, "The answer was too large."));
    }
    waiting.release(call.service());
    if (--busy == 0)
        idleTimer.start();
}

void HelperService::replyError(const QDBusMessage &call, const QString &errorName,
                               const QString &text)
{
    reply(call, call.createErrorReply(errorName, text));
}

std::shared_ptr<ReportFile> HelperService::openReportOrRefuse(const QDBusMessage &call, uint uid,
                                                              const QString &report)
{
    auto file = std::make_shared<ReportFile>();
    const QString failure = file->open(uid, report, sosTmpDir());
    if (failure.isEmpty())
        return file;
    replyError(call, HelperProtocol::FileRefusedError, failure);
    return nullptr;
}

QString HelperService::resolveOrRefuse(const QDBusMessage &call, const QString &program)
{
    const QString path = runner.resolve(program);
    if (path.isEmpty())
        refuseMissing(call, program);
    return path;
}

void HelperService::refuseMissing(const QDBusMessage &call, const QString &program)
{
    replyError(call, HelperProtocol::NotFoundError,
               QStringLiteral("No program \"%1\" in the system folders.").arg(program));
}

// Read at each call, as sos reads it at each run.
QString HelperService::sosTmpDir() const
{
    return SosConfig::reportFolder(sosConfig);
}
