// SPDX-License-Identifier: GPL-2.0-or-later
#include "collection.h"

#include "constants.h"
#include "ptyprocess.h"
#include "reportnames.h"
#include "sosarguments.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtConcurrent>
#include <csignal>
#include <type_traits>
#include <unistd.h>

namespace {

// How long the collector may take to end on SIGTERM before it is killed.
constexpr int KillDelayMs = 3000;
// The collector and what it starts run below the window: packing the reports into one archive
// takes seconds of a core, and its SSH sessions encrypt all they copy; the window following it
// must not wait for them.
constexpr int CollectorNiceness = 10;
// Leftover processes are looked for this often, this many times at most.
constexpr int SweepIntervalMs = 20;
constexpr int SweepRounds = 250;
// How sos names the combined archive.
const QString SosCollectorPrefix = QStringLiteral("sos-collector");

// The processes of this user whose command line names folder: the collector's SSH connections
// (kept open for minutes by ssh itself) and copies, which left its process group.
QVector<pid_t> processesNaming(const QString &folder)
{
    QVector<pid_t> found;
    const QByteArray name = QFile::encodeName(folder);
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number || pid == ::getpid())
            continue;
        const QFileInfo info(QStringLiteral("/proc/") + entry);
        QFile cmdline(info.filePath() + QStringLiteral("/cmdline"));
        if (info.ownerId() != ::getuid() || !cmdline.open(QIODevice::ReadOnly))
            continue;
        if (cmdline.readAll().contains(name))
            found.append(pid);
    }
    return found;
}

// Ends the processes naming folder: SIGTERM, then SIGKILL to those that stay. Runs off the
// window's thread, which would otherwise wait for reading all of /proc on a busy machine.
void endProcessesNaming(const QString &folder)
{
    for (int round = 0; round < SweepRounds; ++round) {
        const QVector<pid_t> left = processesNaming(folder);
        if (left.isEmpty())
            return;
        for (const pid_t pid : left)
            ::kill(pid, round == 0 ? SIGTERM : SIGKILL);
        QThread::msleep(SweepIntervalMs);
    }
}

// The archive's md5 in hexadecimal, empty when it cannot be read; off the window's thread.
QByteArray md5Of(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result().toHex()
                                                                 : QByteArray();
}

// Runs work on the thread pool and then, on this thread, done with its result; done is dropped
// when context goes first.
template <typename Result, typename Work, typename Done>
void inBackground(QObject *context, Work work, Done done)
{
    auto *watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcher<Result>::finished, context, [watcher, done] {
        watcher->deleteLater();
        if constexpr (std::is_void_v<Result>)
            done();
        else
            done(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(work));
}

} // namespace

Collection::Collection(QObject *parent)
    : QObject(parent), collector(Kro::SosProgram), killTimer(new QTimer(this))
{
    qRegisterMetaType<Collection::Outcome>();
    killTimer->setSingleShot(true);
    killTimer->setInterval(KillDelayMs);
    connect(killTimer, &QTimer::timeout, this, [this] {
        if (process)
            process->signalGroup(SIGKILL);
    });
}

Collection::~Collection()
{
    if (isRunning()) {
        process->disconnect(this);
        process->signalGroup(SIGKILL);
        process->waitForFinished(KillDelayMs);
    }
    if (shortDir)
        for (const pid_t pid : processesNaming(shortDir->path()))
            ::kill(pid, SIGKILL);
    removeWorkDir();
}

QString Collection::destinationFor(const QStringList &reportDirs)
{
    for (const QString &dir : reportDirs) {
        const QByteArray path = QFile::encodeName(dir);
        if (QFileInfo(dir).isDir() && ::access(path.constData(), W_OK | X_OK) == 0)
            return dir;
    }
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                        QStringLiteral("/collections");
    QDir().mkpath(own);
    return own;
}

QString Collection::start(const QStringList &nodes, QVariantMap options, const QString &folder)
{
    if (isRunning())
        return tr("A collection is running already.");
    // Hidden, so the reports table does not list what the collector leaves while it works.
    workDir = std::make_unique<QTemporaryDir>(folder + QStringLiteral("/.kro-collect-XXXXXX"));
    if (!workDir->isValid())
        return tr("Cannot write to %1: %2").arg(folder, workDir->errorString());
    // sos names its SSH control sockets after the folder it is given, and a socket's path may
    // not exceed 108 bytes: the collector gets a short link to the work folder. It lives in the
    // user's runtime folder rather than in /tmp, which the reports table lists and would be
    // filled again for it.
    QString shortBase = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (shortBase.isEmpty())
        shortBase = QDir::tempPath();
    shortDir = std::make_unique<QTemporaryDir>(shortBase + QStringLiteral("/kro-XXXXXX"));
    const QString link = shortDir->filePath(QStringLiteral("w"));
    if (!shortDir->isValid() || !QFile::link(workDir->path(), link)) {
        removeWorkDir();
        return tr("Cannot write to %1.").arg(shortBase);
    }
    destination = folder;
    caseId = options.value(SosArguments::CaseId).toString();
    options.insert(SosArguments::TmpDir, link);
    const QStringList arguments =
        QStringList{SosArguments::CollectCommand} + SosArguments::fromSettings(options);
    const QString refusal = SosArguments::collectRefusal(arguments.mid(1));
    if (!refusal.isEmpty()) {
        removeWorkDir();
        return refusal;
    }

    out = std::make_unique<CollectOutput>(nodes);
    connect(out.get(), &CollectOutput::nodeChanged, this, &Collection::nodeChanged);
    connect(out.get(), &CollectOutput::prompted, this, &Collection::readPrompt);
    delete process;
    process = new PtyProcess(this);
    process->setNiceness(CollectorNiceness);
    connect(process, &PtyProcess::output, out.get(), &CollectOutput::feed);
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &Collection::collectorEnded);
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(Outcome::Failed, {},
                tr("%1 could not be started: %2").arg(collector, process->errorString()));
    });
    stopping = false;
    keptArchive.clear();
    clock.start();
    if (!process->startOnTerminal(collector, arguments)) {
        removeWorkDir();
        return tr("No terminal could be opened for the collector.");
    }
    return {};
}

void Collection::readPrompt(CollectOutput::Prompt prompt, const QString &question)
{
    switch (prompt) {
    case CollectOutput::Prompt::Continue:
        process->type("\n");
        break;
    case CollectOutput::Prompt::CaseId:
        process->type(caseId.toUtf8() + '\n');
        break;
    case CollectOutput::Prompt::SshPassword:
    case CollectOutput::Prompt::SudoPassword:
        emit passwordAsked(prompt, question);
        break;
    }
}

void Collection::answer(const QString &password)
{
    QByteArray line = password.toUtf8() + '\n';
    process->type(line);
    line.fill('\0');
}

void Collection::stop()
{
    if (!isRunning() || stopping)
        return;
    stopping = true;
    process->signalGroup(SIGTERM);
    killTimer->start();
}

bool Collection::isRunning() const
{
    return process && process->state() != QProcess::NotRunning;
}

qint64 Collection::elapsedSeconds() const
{
    return clock.isValid() && (isRunning() || checking) ? clock.elapsed() / 1000 : lastSeconds;
}

void Collection::collectorEnded(int exitCode)
{
    killTimer->stop();
    lastSeconds = clock.elapsed() / 1000;
    out->finish();
    endLeftovers([this, exitCode] { afterCollector(exitCode); });
}

void Collection::afterCollector(int exitCode)
{
    if (stopping) {
        end(Outcome::Stopped, {}, tr("The collection was stopped."));
        return;
    }
    const QString told = out->archive();
    if (told.isEmpty() || !QFileInfo(told).isFile()) {
        const QStringList lines = out->lastLines();
        end(Outcome::Failed, {},
            tr("The collector ended with status %1 and made no archive.").arg(exitCode) +
                (lines.isEmpty() ? QString() : QStringLiteral("\n\n") + lines.join('\n')));
        return;
    }
    keepArchive(told);
}

// The archive leaves the work folder for the reports folder, named as the reports table, Set
// password, Send and the helper know a report ("sosreport-collector-..." for sos's
// "sos-collector-..."); its checksum is written beside it as sos writes a report's. The map of
// obfuscated names goes beside it as a report's private map: it never leaves the machine.
void Collection::keepArchive(const QString &archive)
{
    const QString name = QFileInfo(archive).fileName();
    const QString target = QDir(destination)
                               .filePath(ReportNames::Prefix + QLatin1Char('-') +
                                         name.mid(name.startsWith(SosCollectorPrefix) ? 4 : 0));
    const QStringList maps =
        QDir(workDir->path()).entryList({QStringLiteral("*_private_map")}, QDir::Files);
    if (!maps.isEmpty())
        QFile::rename(QDir(workDir->path()).filePath(maps.first()),
                      target.left(target.indexOf(QStringLiteral(".tar"))) +
                          ReportNames::PrivateMapSuffix);
    if (!QFile::rename(archive, target)) {
        end(Outcome::Failed, {}, tr("The archive could not be moved to %1.").arg(destination));
        return;
    }
    keptArchive = target;
    checking = true;
    inBackground<QByteArray>(
        this, [target] { return md5Of(target); },
        [this](const QByteArray &sum) { checksumRead(sum); });
}

void Collection::checksumRead(const QByteArray &sum)
{
    checking = false;
    const QString size = QLocale().formattedDataSize(QFileInfo(keptArchive).size());
    QString text = tr("The combined archive %1 was saved: %2").arg(keptArchive, size);
    if (sum.size() == 32) {
        QFile file(keptArchive + QStringLiteral(".md5"));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.write(sum + '\n');
        text = tr("The combined archive %1 was saved: %2, md5 %3")
                   .arg(keptArchive, size, QString::fromLatin1(sum));
    }
    end(Outcome::Succeeded, keptArchive, text);
}

void Collection::end(Outcome outcome, const QString &archive, const QString &text)
{
    removeWorkDir();
    emit finished(outcome, archive, text);
}

// sos leaves folders without write permission in its work folder; they go all the same.
void Collection::removeWorkDir()
{
    if (!workDir)
        return;
    QDirIterator folders(workDir->path(), QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (folders.hasNext())
        QFile::setPermissions(folders.next(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    workDir.reset();
}

// The collector's SSH connections outlive it by minutes; they are ended before its folder goes,
// which they would otherwise fill again.
void Collection::endLeftovers(const std::function<void()> &then)
{
    const QString folder = shortDir->path();
    inBackground<void>(
        this, [folder] { endProcessesNaming(folder); }, then);
}
