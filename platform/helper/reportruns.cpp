// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportruns.h"

#include "helperprotocol.h"
#include "programrunner.h"
#include "reportnames.h"
#include "sosconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A stopped run gets this long to write what it has before it is terminated.
const int StopGraceMs = 10000;
// An ended run is remembered this long, so that a window opened later still learns how it went.
const int ForgetAfterMs = 5 * 60 * 1000;
// What a failed run's answer shows of its output.
const int TailBytes = 4096;

const QString TmpDirOption = QStringLiteral("--tmp-dir");

// Takes --tmp-dir X (or --tmp-dir=X) out of arguments into folder. Empty on success.
QString takeTmpDir(const QStringList &arguments, QStringList &kept, QString &folder)
{
    for (int i = 0; i < arguments.size(); ++i) {
        QString value;
        if (arguments.at(i) == TmpDirOption && i + 1 < arguments.size())
            value = arguments.at(++i);
        else if (arguments.at(i).startsWith(TmpDirOption + QLatin1Char('=')))
            value = arguments.at(i).mid(TmpDirOption.size() + 1);
        else if (arguments.at(i) == TmpDirOption)
            return QStringLiteral("--tmp-dir needs a folder.");
        else {
            kept.append(arguments.at(i));
            continue;
        }
        if (!folder.isEmpty() || !QFileInfo(value).isAbsolute())
            return QStringLiteral("A report run takes one --tmp-dir, an absolute path.");
        folder = value;
    }
    return {};
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

ReportRuns::ReportRuns(WorkFolders &folders, const QString &sosConfig, ProgramRunner &runner,
                       QObject *parent)
    : QObject(parent), folders(folders), sosConfig(sosConfig), runner(runner)
{
}

QString ReportRuns::start(uid_t uid, const QString &path, const QStringList &arguments, qint64 &pid)
{
    if (!folders.makeStateDir())
        return QStringLiteral("The helper cannot keep the run's output in %1.")
            .arg(folders.stateDir());
    auto run = std::make_shared<Run>();
    QStringList sosArguments;
    const QString failure = prepare(uid, arguments, *run, sosArguments);
    if (!failure.isEmpty())
        return failure;
    run->log = QDir(folders.stateDir()).filePath(QStringLiteral("report-%1.log").arg(uid));
    run->process = runner.startInSession(path, sosArguments, run->log, this);
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

// The report folder is the one asked for, or sos's own; sos works in a fresh folder inside it.
QString ReportRuns::prepare(uid_t uid, const QStringList &arguments, Run &run,
                            QStringList &sosArguments)
{
    QString failure = takeTmpDir(arguments, sosArguments, run.folderPath);
    if (!failure.isEmpty())
        return failure;
    const QString sosTmpDir = SosConfig::reportFolder(sosConfig);
    if (run.folderPath.isEmpty())
        run.folderPath = sosTmpDir;
    run.folder = RegularFile::openFolder(run.folderPath, failure);
    if (!run.folder.ok())
        return failure;
    if (!ReportNames::isReportFolder(run.folder.get(), uid, sosTmpDir))
        return QStringLiteral("%1 is not a report folder.").arg(run.folderPath);
    failure = run.work.make(folders, run.folder.get(), run.folderPath, WorkFolders::RunPrefix);
    if (!failure.isEmpty())
        return QStringLiteral("No working folder for the run: %1.").arg(failure);
    sosArguments << TmpDirOption << run.work.path();
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
                      {ArchiveKey, run->archive},
                      {ArchiveSizeKey, run->progress.archiveSize()},
                      {ArchiveChecksumKey, run->progress.archiveChecksum()}};
    if (!run->running) {
        state.insert(ExitStatusKey, run->exitStatus);
        if (run->exitStatus != 0 || run->archive.isEmpty())
            state.insert(OutputTailKey, tailOf(run->log) + run->failure.toLocal8Bit());
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
    if (exitStatus == 0)
        run->failure = collect(*run);
    run->work.remove();
    QTimer::singleShot(ForgetAfterMs, this, [this, uid, run] {
        if (runs.value(uid) != run)
            return;
        runs.remove(uid);
        QFile::remove(run->log);
        run->process->deleteLater();
        emit forgotten();
    });
}

// Moves the archive sos saved in the working folder, its checksums and its private map into the
// report folder, never over an existing name and never following a link.
QString ReportRuns::collect(Run &run)
{
    const QFileInfo saved(run.progress.archive());
    // An archive saved elsewhere, against --tmp-dir, stays where sos says it is.
    run.archive = saved.filePath();
    if (saved.path() != run.work.path())
        return {};
    run.archive.clear();
    const QString name = saved.fileName();
    const QStringList names = QStringList{name} + ReportNames::checksumsOf(name) +
                              QStringList{ReportNames::privateMapOf(name)};
    for (const QString &fileName : names) {
        const QByteArray file = QFile::encodeName(fileName);
        struct stat info
        {
        };
        if (fstatat(run.work.descriptor(), file.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 &&
            fileName != name)
            continue;
        if (!S_ISREG(info.st_mode) ||
            renameat2(run.work.descriptor(), file.constData(), run.folder.get(), file.constData(),
                      RENAME_NOREPLACE) != 0)
            return RegularFile::errnoText(
                       QStringLiteral("\nCannot move %1 into %2").arg(fileName, run.folderPath)) +
                   QLatin1Char('\n');
    }
    fsync(run.folder.get());
    run.archive = QDir(run.folderPath).filePath(name);
    return {};
}
