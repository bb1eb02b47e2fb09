// SPDX-License-Identifier: GPL-2.0-or-later
#include "programrunner.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QStringList TrustedDirs = {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin",
                                 "/usr/bin",        "/sbin",          "/bin"};

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
    environment.insert("PATH", searchDirs.join(':'));
    environment.insert("LANG", systemLocale());
}

QString ProgramRunner::resolve(const QString &program) const
{
    if (program.isEmpty() || (program.contains('/') && !QFileInfo(program).isAbsolute()))
        return {};
    const QString path =
        program.contains('/') ? program : QStandardPaths::findExecutable(program, searchDirs);
    // Root passes every access check, so the execute bits themselves are what count.
    const QFileInfo info(path);
    const auto executable = QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    if (path.isEmpty() || !info.isFile() || !(info.permissions() & executable))
        return {};
    return path;
}

bool ProgramRunner::run(const QString &path, const QStringList &arguments, const QByteArray &input,
                        Finished finished)
{
    auto *process = new QProcess(this);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory("/");
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, process, finished](int exitCode, QProcess::ExitStatus status) {
                Result result;
                result.exitStatus = status == QProcess::NormalExit ? exitCode : -1;
                result.output = process->readAllStandardOutput();
                result.errorOutput = process->readAllStandardError();
                process->deleteLater();
                finished(result);
                if (--running == 0)
                    emit allFinished();
            });
    process->start(path, arguments);
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    ++running;
    process->write(input);
    process->closeWriteChannel();
    return true;
}

qint64 ProgramRunner::startDetached(const QString &path, const QStringList &arguments) const
{
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory("/");
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = -1;
    if (!process.startDetached(&pid))
        return -1;
    return pid;
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
