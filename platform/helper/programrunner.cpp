// SPDX-License-Identifier: GPL-2.0-or-later
#include "programrunner.h"

#include "helperprotocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList TrustedDirs = {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin",
                                 "/usr/bin",        "/sbin",          "/bin"};
// The names the installed sos answers to: its old report command and the new one.
const QString SosreportName = QStringLiteral("sosreport");
const QString SosName = QStringLiteral("sos");

// The locale the system is configured with, so that programs write messages the way the
// administrator expects rather than in the caller's or the activating daemon's locale.
QString systemLocale()
{
    for (const QString &path :
         {QStringLiteral("/etc/default/locale"), QStringLiteral("/etc/locale.conf")}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QRegularExpression lang(QStringLiteral("^\\s*LANG=\"?([^\"\\s]+)\"?"));
        while (!file.atEnd()) {
            const auto match = lang.match(QString::fromLocal8Bit(file.readLine()));
            if (match.hasMatch())
                return match.captured(1);
        }
    }
    return QStringLiteral("C.UTF-8");
}

// A program stopped with SIGTERM gets this long to end before SIGKILL.
const int StopGraceMs = 5000;

// Root passes every access check, so the execute bits themselves are what count.
bool isExecutable(const QFileInfo &info)
{
    return info.isFile() &&
           (info.permissions() & (QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther));
}

// Owned by root (or by the user the helper runs as, in tests) and writable by no one else. A
// folder with the sticky bit, such as /tmp, may be writable by all: no one else can then rename
// or remove what root keeps in it, and whatever others add there is theirs, not root's.
bool isSafeFromOthers(const QString &path)
{
    struct stat info
    {
    };
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    const bool writableByOthers = info.st_mode & (S_IWGRP | S_IWOTH);
    const bool stickyFolder = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX);
    return (info.st_uid == 0 || info.st_uid == geteuid()) && (!writableByOthers || stickyFolder);
}

// Keeps the last bytes of a stream and counts what it had to drop.
class OutputTail
{
public:
    void append(const QByteArray &bytes)
    {
        kept += bytes;
        // Trimmed only now and then, so that a chatty program costs linear time.
        if (kept.size() > 2 * HelperProtocol::KeptOutputBytes)
            trim();
    }
    QByteArray take()
    {
        trim();
        if (cut == 0)
            return kept;
        return "[... " + QByteArray::number(cut) + " bytes cut ...]\n" + kept;
    }

private:
    void trim()
    {
        if (kept.size() <= HelperProtocol::KeptOutputBytes)
            return;
        cut += kept.size() - HelperProtocol::KeptOutputBytes;
        kept = kept.right(HelperProtocol::KeptOutputBytes);
    }

    QByteArray kept;
    qint64 cut = 0;
};

// A process in a group (or a session) of its own, with its standard input and output optionally
// taken from open files and one more descriptor left open for it. A program run for a waiting
// call dies with the helper, so that none goes on as root with no one to answer; only a
// program in a session of its own (a report run) outlives it.
class ChildProcess : public QProcess
{
public:
    ChildProcess(const ProgramRunner::Job &job, QObject *parent)
        : QProcess(parent), inputFd(job.inputFd), outputFd(job.outputFd), keyFd(job.keyFd),
          newSession(job.newSession), helper(getpid())
    {
    }

protected:
    // Runs in the child between fork and exec: only async-signal-safe calls.
    void setupChildProcess() override
    {
        if (newSession) {
            setsid();
        } else {
            setpgid(0, 0);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            // The helper may have died before the line above: then no signal comes.
            if (getppid() != helper)
                _exit(127);
        }
        // Whoever started the helper may have had interrupts ignored, and an ignored SIGINT
        // is inherited: the program could then never be interrupted.
        signal(SIGINT, SIG_DFL);
        signal(SIGQUIT, SIG_DFL);
        if (inputFd >= 0)
            dup2(inputFd, STDIN_FILENO);
        if (outputFd >= 0)
            dup2(outputFd, STDOUT_FILENO);
        if (keyFd >= 0)
            fcntl(keyFd, F_SETFD, 0);
    }

private:
    int inputFd, outputFd, keyFd;
    bool newSession;
    pid_t helper;
};

bool isSecretOption(const QString &argument)
{
    return argument == "-K" || argument == "-H" || argument == "--key" || argument == "--key2";
}

} // namespace

ProgramRunner::ProgramRunner(const QString &standInDir, QObject *parent)
    : QObject(parent), searchDirs(TrustedDirs)
{
    if (!standInDir.isEmpty())
        searchDirs.prepend(standInDir);
    for (const QString &dir : qAsConst(searchDirs)) {
        const QString canonical = QFileInfo(dir).canonicalFilePath();
        if (!canonical.isEmpty())
            trustedDirs.append(canonical);
    }
    environment.insert("PATH", searchDirs.join(':'));
    environment.insert("LANG", systemLocale());
}

// The name asked for must lie in a trusted folder as it is written, not only where it leads: a
// user's link to a system program would otherwise run that program under the link's name.
QString ProgramRunner::resolve(const QString &program) const
{
    if (program.isEmpty() || (program.contains('/') && !QFileInfo(program).isAbsolute()))
        return {};
    const QString path = program.contains('/')
                             ? QDir::cleanPath(program)
                             : QStandardPaths::findExecutable(program, searchDirs);
    if (path.isEmpty() || !isSearchedFolder(QFileInfo(path).path()) ||
        !isExecutable(QFileInfo(path)))
        return {};
    // The checked file itself is run: a link could be turned elsewhere after the check.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return isTrusted(canonical) ? canonical : QString();
}

bool ProgramRunner::isSos(const QString &canonical) const
{
    return !canonical.isEmpty() &&
           (canonical == resolve(SosreportName) || canonical == resolve(SosName));
}

bool ProgramRunner::isSosCommand(const QString &canonical) const
{
    return !canonical.isEmpty() && canonical == resolve(SosName);
}

bool ProgramRunner::isSearchedFolder(const QString &folder) const
{
    return searchDirs.contains(folder) || trustedDirs.contains(folder);
}

// The program must really live in a trusted folder, wherever its path leads, and neither it nor
// any folder above it may be changed by anyone but root.
bool ProgramRunner::isTrusted(const QString &canonical) const
{
    if (canonical.isEmpty() || !trustedDirs.contains(QFileInfo(canonical).path()))
        return false;
    for (QString part = canonical;; part = QFileInfo(part).path()) {
        if (!isSafeFromOthers(part))
            return false;
        if (part == QLatin1String("/"))
            return true;
    }
}

bool ProgramRunner::run(const Job &job, Finished finished)
{
    auto *process = new ChildProcess(job, this);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory("/");
    auto output = std::make_shared<OutputTail>();
    auto errorOutput = std::make_shared<OutputTail>();
    auto timedOut = std::make_shared<bool>(false);
    connect(process, &QProcess::readyReadStandardOutput, this,
            [process, output] { output->append(process->readAllStandardOutput()); });
    connect(process, &QProcess::readyReadStandardError, this,
            [process, errorOutput] { errorOutput->append(process->readAllStandardError()); });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [=](int exitCode, QProcess::ExitStatus status) {
                output->append(process->readAllStandardOutput());
                errorOutput->append(process->readAllStandardError());
                Result result;
                result.exitStatus = status == QProcess::NormalExit ? exitCode : -1;
                result.timedOut = *timedOut;
                result.output = output->take();
                result.errorOutput = errorOutput->take();
                running.erase(std::remove_if(running.begin(), running.end(),
                                             [process](const Running &entry) {
                                                 return entry.process == process;
                                             }),
                              running.end());
                process->deleteLater();
                finished(result);
            });
    process->start(job.path, job.arguments);
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    running.append({process, job.owner});
    if (job.timeLimitMs > 0)
        QTimer::singleShot(job.timeLimitMs, process, [this, process, timedOut] {
            *timedOut = true;
            stop(process);
        });
    if (job.inputFd < 0)
        process->write(job.input);
    process->closeWriteChannel();
    return true;
}

void ProgramRunner::stopOwnedBy(const QString &owner)
{
    for (const Running &entry : qAsConst(running))
        if (entry.owner == owner)
            stop(entry.process);
}

void ProgramRunner::stop(QProcess *process)
{
    stopGroup(process, SIGTERM, SIGKILL, StopGraceMs);
}

void ProgramRunner::stopGroup(QProcess *process, int signal, int laterSignal, int graceMs)
{
    const auto signalGroup = [process](int sent) {
        const pid_t pid = pid_t(process->processId());
        // The group may not exist yet when the child has not reached setpgid.
        if (pid > 0 && ::kill(-pid, sent) != 0)
            ::kill(pid, sent);
    };
    if (process->state() == QProcess::NotRunning)
        return;
    signalGroup(signal);
    QTimer::singleShot(graceMs, process, [process, signalGroup, laterSignal] {
        if (process->state() != QProcess::NotRunning)
            signalGroup(laterSignal);
    });
}

QProcess *ProgramRunner::startInSession(const QString &path, const QStringList &arguments,
                                        const QString &log, QObject *parent) const
{
    Job job;
    job.newSession = true;
    auto *process = new ChildProcess(job, parent);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory("/");
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(log);
    process->start(path, arguments);
    if (!process->waitForStarted()) {
        delete process;
        return nullptr;
    }
    return process;
}

QStringList ProgramRunner::loggable(const QString &program, const QStringList &arguments)
{
    if (QFileInfo(program).fileName() != "ccrypt")
        return arguments;
    QStringList result;
    bool maskNext = false;
    for (const QString &argument : arguments) {
        const bool attached = (argument.startsWith("-K") || argument.startsWith("-H") ||
                               argument.startsWith("--key=") || argument.startsWith("--key2=")) &&
                              !isSecretOption(argument);
        result << (maskNext || attached ? QStringLiteral("***") : argument);
        maskNext = isSecretOption(argument);
    }
    return result;
}
