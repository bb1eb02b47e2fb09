// SPDX-License-Identifier: GPL-2.0-or-later
#include "sosoptions.h"

#include "constants.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>

SosOptions::SosOptions(const QString &version, const QString &program, QObject *parent,
                       const QString &subcommand)
    : QObject(parent), sosVersion(version), program(program), subcommand(subcommand)
{
}

SosOptions::~SosOptions()
{
    // A window closed while the help still runs must not leave it behind.
    if (helpProcess && helpProcess->state() != QProcess::NotRunning) {
        helpProcess->disconnect(this);
        helpProcess->kill();
        helpProcess->waitForFinished();
    }
}

QString SosOptions::installedVersion(const QString &moduleFile)
{
    QFile file(moduleFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression line(QStringLiteral("^__version__\\s*=\\s*[\"']([^\"']+)[\"']"),
                                         QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(file.readAll())).captured(1);
}

namespace {

// The plugin names a module states with plugin_name; without one sos takes the class name in
// lower case, which is the module's file name in every sos plugin.
QStringList statedPlugins(const QFileInfo &module)
{
    static const QRegularExpression nameLine(
        QStringLiteral("^\\s*plugin_name\\s*=\\s*[\"']([A-Za-z0-9_]+)[\"']"),
        QRegularExpression::MultilineOption);
    QFile file(module.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    auto matches = nameLine.globalMatch(QString::fromUtf8(file.readAll()));
    while (matches.hasNext())
        names << matches.next().captured(1);
    return names.isEmpty() ? QStringList{module.completeBaseName()} : names;
}

} // namespace

QStringList SosOptions::installedPlugins(const QString &pluginDir)
{
    QStringList names;
    const QFileInfoList modules =
        QDir(pluginDir).entryInfoList({QStringLiteral("*.py")}, QDir::Files, QDir::Name);
    for (const QFileInfo &module : modules)
        if (!module.fileName().startsWith(QLatin1Char('_')))
            names << statedPlugins(module);
    names.removeDuplicates();
    return names;
}

QStringList SosOptions::unknownPlugins(const QStringList &names, const QString &pluginDir)
{
    QStringList unknown;
    for (const QString &name : names) {
        const QFileInfo module(QDir(pluginDir).filePath(name + QStringLiteral(".py")));
        if (!module.isFile() || !statedPlugins(module).contains(name))
            unknown << name;
    }
    if (unknown.isEmpty())
        return unknown;
    const QStringList installed = installedPlugins(pluginDir);
    if (installed.isEmpty())
        return {};
    for (const QString &name : installed)
        unknown.removeAll(name);
    return unknown;
}

QStringList SosOptions::parseHelp(const QString &helpText)
{
    // argparse indents the options of a group by two spaces, their wrapped descriptions by more.
    static const QRegularExpression optionLine(QStringLiteral("^  (-\\S.*?)(?:  |$)"));
    static const QRegularExpression optionName(QStringLiteral("^-{1,2}[A-Za-z0-9][\\w-]*"));
    QStringList options;
    for (const QString &line : helpText.split(QLatin1Char('\n'))) {
        const QString invocations = optionLine.match(line).captured(1);
        for (const QString &invocation : invocations.split(QStringLiteral(", "))) {
            const QString name = optionName.match(invocation).captured();
            if (!name.isEmpty() && !options.contains(name))
                options << name;
        }
    }
    return options;
}

void SosOptions::loadStored()
{
    if (sosVersion.isEmpty() || helpProcess || isKnown())
        return;
    accepted = QSettings().value(storeKey()).toStringList();
    if (isKnown())
        emit known();
}

void SosOptions::load()
{
    loadStored();
    if (sosVersion.isEmpty() || helpProcess || isKnown())
        return;
    helpProcess = new QProcess(this);
    connect(helpProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &SosOptions::helpFinished);
    QStringList arguments{QStringLiteral("--help")};
    if (!subcommand.isEmpty())
        arguments.prepend(subcommand);
    connect(helpProcess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            helpFinished(-1, QProcess::CrashExit);
    });
    helpProcess->start(program, arguments, QIODevice::ReadOnly);
}

void SosOptions::helpFinished(int exitCode, QProcess::ExitStatus status)
{
    const QString text = QString::fromLocal8Bit(helpProcess->readAllStandardOutput());
    helpProcess->deleteLater();
    helpProcess = nullptr;
    accepted = status == QProcess::NormalExit && exitCode == 0 ? parseHelp(text) : QStringList();
    if (!isKnown()) {
        failed = true;
        emit unavailable();
        return;
    }
    QSettings().setValue(storeKey(), accepted);
    emit known();
}

bool SosOptions::isKnown() const
{
    return !accepted.isEmpty();
}

QString SosOptions::version() const
{
    return sosVersion;
}

bool SosOptions::accepts(const QString &option) const
{
    return !isKnown() || accepted.contains(option);
}

QVariantMap SosOptions::acceptedOnly(const QVariantMap &settings) const
{
    QVariantMap result = settings;
    for (auto entry = settings.cbegin(); entry != settings.cend(); ++entry) {
        if (entry.key().startsWith(QLatin1Char('-')) && !accepts(entry.key()))
            result.remove(entry.key());
    }
    return result;
}

QString SosOptions::storeKey() const
{
    const QString name =
        subcommand.isEmpty() ? sosVersion : subcommand + QLatin1Char('-') + sosVersion;
    return Kro::SosOptionsKey + QLatin1Char('/') + name;
}
