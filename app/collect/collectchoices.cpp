// SPDX-License-Identifier: GPL-2.0-or-later
#include "collectchoices.h"

#include "sosarguments.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

const QString HostsKey = QStringLiteral("collect/hosts");
const QString SshUserKey = QStringLiteral("collect/sshuser");
const QString SshPasswordKey = QStringLiteral("collect/sshpassword");
const QString SudoPasswordKey = QStringLiteral("collect/sudopassword");
const QString LocalKey = QStringLiteral("collect/local");
const QString CaseIdKey = QStringLiteral("collect/caseid");
const QString LabelKey = QStringLiteral("collect/label");
const QString PluginsKey = QStringLiteral("collect/plugins");
const QString SinceKey = QStringLiteral("collect/sincehours");
const QString ObfuscateKey = QStringLiteral("collect/obfuscate");
const QString TimeoutKey = QStringLiteral("collect/timeout");

} // namespace

CollectChoices CollectChoices::load()
{
    const QSettings settings;
    CollectChoices choices;
    choices.hosts = settings.value(HostsKey).toStringList();
    choices.sshUser = settings.value(SshUserKey).toString();
    choices.sshPassword = settings.value(SshPasswordKey, false).toBool();
    choices.sudoPassword = settings.value(SudoPasswordKey, false).toBool();
    choices.includeThisMachine = settings.value(LocalKey, false).toBool();
    choices.caseId = settings.value(CaseIdKey).toString();
    choices.label = settings.value(LabelKey).toString();
    choices.plugins = settings.value(PluginsKey).toStringList();
    choices.sinceHours = settings.value(SinceKey, 0).toInt();
    choices.obfuscate = settings.value(ObfuscateKey, false).toBool();
    choices.timeoutSeconds = settings.value(TimeoutKey, 0).toInt();
    return choices;
}

void CollectChoices::save() const
{
    QSettings settings;
    settings.setValue(HostsKey, hosts);
    settings.setValue(SshUserKey, sshUser);
    settings.setValue(SshPasswordKey, sshPassword);
    settings.setValue(SudoPasswordKey, sudoPassword);
    settings.setValue(LocalKey, includeThisMachine);
    settings.setValue(CaseIdKey, caseId);
    settings.setValue(LabelKey, label);
    settings.setValue(PluginsKey, plugins);
    settings.setValue(SinceKey, sinceHours);
    settings.setValue(ObfuscateKey, obfuscate);
    settings.setValue(TimeoutKey, timeoutSeconds);
}

QStringList CollectChoices::splitList(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    QStringList hosts = text.split(separators, Qt::SkipEmptyParts);
    hosts.removeDuplicates();
    return hosts;
}

QVariantMap CollectChoices::reportOptions(const QDateTime &now) const
{
    QVariantMap options;
    if (!caseId.isEmpty())
        options.insert(SosArguments::CaseId, caseId);
    if (!label.isEmpty())
        options.insert(SosArguments::Label, label);
    if (!plugins.isEmpty())
        options.insert(SosArguments::OnlyPlugins, plugins);
    if (sinceHours > 0)
        options.insert(
            SosArguments::Since,
            now.addSecs(-3600LL * sinceHours).toString(QStringLiteral("yyyyMMddHHmmss")));
    if (obfuscate)
        options.insert(SosArguments::Clean, true);
    return options;
}

QVariantMap CollectChoices::collectOptions(const QDateTime &now) const
{
    QVariantMap options = reportOptions(now);
    options.insert(SosArguments::Nodes, hosts.join(QLatin1Char(',')));
    // This machine's report, when wanted, is made by the privileged helper instead.
    options.insert(SosArguments::NoLocal, true);
    // Each node's progress is told only in the collector's log lines.
    options.insert(SosArguments::Verbose, true);
    if (!sshUser.isEmpty())
        options.insert(SosArguments::SshUser, sshUser);
    if (sshPassword)
        options.insert(SosArguments::Password, true);
    if (!sudoPassword && !sshUser.isEmpty() && sshUser != QLatin1String("root"))
        options.insert(SosArguments::NoPasswordSudo, true);
    if (timeoutSeconds > 0)
        options.insert(SosArguments::Timeout, timeoutSeconds);
    return options;
}
