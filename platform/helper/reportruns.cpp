// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportruns.h"

#include "helperprotocol.h"
#include "programrunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A stopped run gets this long to write what it has before it is terminated.
const int StopGraceMs = 10000;
// An ended run is remembered this long, so that a window opened later still learns how it went.
const int ForgetAfterMs = 5 * 60 * 1000;
// What a failed run's answer shows of its output.
const int TailBytes = 4096;

bool makeOwnFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info
    {
    };
    return ::lstat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == geteuid() && ::chmod(name.constData(), 0700) == 0;
}

QByteArray tailOf(const QString &log)
{
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(qMax<qint64>(0, file.size() - TailBytes));
    return file.readAll();
}

} // namespace

ReportRuns::ReportRuns(const QString &stateDir, ProgramRunner &runner, QObject *parent)
    : QObject(parent), stateDir(stateDir), runner(runner)
{
}

QString ReportRuns::start(uid_t uid, const QString &path, const QStringList &arguments, qint64 &pid)
{
    if (!makeOwnFolder(stateDir))
        return QStringLiteral("The helper cannot keep the run's output in %1.").arg(stateDir);
    auto run = std::make_shared<Run>();
    run->log = QDir(stateDir).filePath(QStringLiteral("report-%1.log").arg(uid));
    run->process = runner.startInSession(path, arguments, run->log, this);
    if (!run->process)
        return QStringLiteral("The program could not be started.");
    connect(run->process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, uid](int exitCode, QProcess::ExitStatus status) {
                ended(uid, status == QProcess::NormalExit ? exitCode : -1);
            });
    run->sinceStart.start();
    run->sinceOutput.start();
    pid = run->process->processId();
    if (const auto previous = runs.take(uid))
        previous->process->deleteLater();
    runs.insert(uid, run);
    return {};
}

QVariantMap ReportRuns::state(uid_t uid)
{
    const auto run = runs.value(uid);
    if (!run)
        return {};
    readNewOutput(*run);
    using namespace HelperProtocol;
    QVariantMap state{{RunningKey, run->running},
                      {ProcessIdKey, qlonglong(run->process->processId())},
                      {SecondsKey, int(run->sinceStart.elapsed() / 1000)},
                      {IdleSecondsKey, int(run->sinceOutput.elapsed() / 1000)},
                      {PluginsStartedKey, run->progress.pluginsStarted()},
                      {PluginsTotalKey, run->progress.pluginsTotal()},
                      {PluginKey, run->progress.currentPlugin()},
                      {ArchiveKey, run->progress.archive()},
                      {ArchiveSizeKey, run->progress.archiveSize()},
                      {ArchiveChecksumKey, run->progress.archiveChecksum()}};
    if (!run->running) {
        state.insert(ExitStatusKey, run->exitStatus);
        if (run->exitStatus != 0 || run->progress.archive().isEmpty())
            state.insert(OutputTailKey, tailOf(run->log));
    }
    return state;
}

bool ReportRuns::stop(uid_t uid)
{
    const auto run = runs.value(uid);
    if (!run || !run->running)
        return false;
    ProgramRunner::stopGroup(run->process, SIGINT, SIGTERM, StopGraceMs);
    return true;
}

void ReportRuns::readNewOutput(Run &run)
{
    QFile file(run.log);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= run.readUpTo)
        return;
    file.seek(run.readUpTo);
    const QByteArray output = file.readAll();
    run.readUpTo += output.size();
    run.progress.feed(output);
    run.sinceOutput.restart();
}

void ReportRuns::ended(uid_t uid, int exitStatus)
{
    const auto run = runs.value(uid);
    run->running = false;
    run->exitStatus = exitStatus;
    readNewOutput(*run);
    QTimer::singleShot(ForgetAfterMs, this, [this, uid, run] {
        if (runs.value(uid) != run)
            return;
        runs.remove(uid);
        QFile::remove(run->log);
        run->process->deleteLater();
        emit forgotten();
    });
}
