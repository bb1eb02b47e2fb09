// SPDX-License-Identifier: GPL-2.0-or-later
#include "sosoptions.h"

#include "constants.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>

SosOptions::SosOptions(const QString &version, const QString &program, QObject *parent)
    : QObject(parent), sosVersion(version), program(program)
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

QStringList SosOptions::installedPlugins(const QString &pluginDir)
{
    // A module names its plugin with plugin_name; without one sos takes the class name in lower
    // case, which is the module's file name in every sos plugin.
    static const QRegularExpression nameLine(
        QStringLiteral("^\\s*plugin_name\\s*=\\s*[\"']([A-Za-z0-9_]+)[\"']"),
        QRegularExpression::MultilineOption);
    QStringList names;
    const QFileInfoList modules =
        QDir(pluginDir).entryInfoList({QStringLiteral("*.py")}, QDir::Files);
    for (const QFileInfo &module : modules) {
        if (module.fileName().startsWith(QLatin1Char('_')))
            continue;
        QFile file(module.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        auto matches = nameLine.globalMatch(QString::fromUtf8(file.readAll()));
        if (!matches.hasNext())
            names << module.completeBaseName();
        while (matches.hasNext())
            names << matches.next().captured(1);
    }
    names.removeDuplicates();
    return names;
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

void SosOptions::load()
{
    if (sosVersion.isEmpty() || helpProcess || isKnown())
        return;
    accepted = QSettings().value(storeKey()).toStringList();
    if (isKnown()) {
        emit known();
        return;
    }
    helpProcess = new QProcess(this);
    connect(helpProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &SosOptions::helpFinished);
    helpProcess->start(program, QStringList{QStringLiteral("--help")}, QIODevice::ReadOnly);
}

void SosOptions::helpFinished(int exitCode, QProcess::ExitStatus status)
{
    const QString text = QString::fromLocal8Bit(helpProcess->readAllStandardOutput());
    helpProcess->deleteLater();
    helpProcess = nullptr;
    if (status != QProcess::NormalExit || exitCode != 0)
        return;
    accepted = parseHelp(text);
    if (!isKnown())
        return;
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
    return Kro::SosOptionsKey + QLatin1Char('/') + sosVersion;
}
