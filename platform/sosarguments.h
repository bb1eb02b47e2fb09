// SPDX-License-Identifier: GPL-2.0-or-later
// The sos report options the window offers and the only ones the privileged helper passes to sos
// under the report permission, with the values each may take. The window builds its arguments
// from these names and the helper checks every call against them, so the two never disagree.
// Anything else (another root, a chroot, an upload, a configuration file, debugging) could make
// sos run or send what the caller chooses, and is refused.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace SosArguments {

// Switches
inline const QString Batch = QStringLiteral("--batch");
inline const QString ListPlugins = QStringLiteral("--list-plugins");
inline const QString ListPluginsShort = QStringLiteral("-l");
inline const QString AllOptions = QStringLiteral("--alloptions");
inline const QString AllLogs = QStringLiteral("--all-logs");
inline const QString Clean = QStringLiteral("--clean");
inline const QString NoEtc = QStringLiteral("--noetc"); // other builds of sos only
inline const QString ForceBadPlugins = QStringLiteral("--forcedbadplugins"); // other builds only
// Plugin and profile names, each after its own option or several joined by commas
inline const QString OnlyPlugins = QStringLiteral("-o");
inline const QString EnablePlugins = QStringLiteral("-e");
inline const QString SkipPlugins = QStringLiteral("-n");
inline const QString Profiles = QStringLiteral("-p");
// PLUGIN.OPTION=VALUE
inline const QString PluginOption = QStringLiteral("-k");
// Texts sos puts into the archive's name
inline const QString CaseId = QStringLiteral("--case-id");
inline const QString Label = QStringLiteral("--label");
// YYYYMMDD[HHMMSS]
inline const QString Since = QStringLiteral("--since");
inline const QString CompressionType = QStringLiteral("--compression-type");
// An absolute folder; the helper puts its own run folder inside it.
inline const QString TmpDir = QStringLiteral("--tmp-dir");
// Numbers
inline const QString Split = QStringLiteral("--split"); // MiB, other builds of sos only
inline const QString Threads = QStringLiteral("--threads");
inline const QString PluginTimeout = QStringLiteral("--plugin-timeout");
inline const QString LogSize = QStringLiteral("--log-size");

// Options of the collector (the collect sub-command), which logs in to other machines over SSH
// and runs sos report on each with the report options it passes on.
inline const QString Nodes = QStringLiteral("--nodes"); // host names joined by commas
inline const QString SshUser = QStringLiteral("--ssh-user");
inline const QString SshPort = QStringLiteral("--ssh-port");
inline const QString NoLocal = QStringLiteral("--no-local");
inline const QString Password = QStringLiteral("--password");
inline const QString NoPasswordSudo = QStringLiteral("--nopasswd-sudo");
inline const QString Timeout = QStringLiteral("--timeout"); // seconds for each node's report
inline const QString Verbose = QStringLiteral("--verbose");

// The sub-command of the sos program that collects a report; sosreport needs none.
inline const QString ReportCommand = QStringLiteral("report");
// The sub-command that collects the reports of several machines into one archive.
inline const QString CollectCommand = QStringLiteral("collect");
// The longest case id or label passed on.
constexpr int MaxTextLength = 128;

// Whether option is on the list and takes no value.
bool isSwitch(const QString &option);
// Whether option takes plugin or profile names, which the window passes one by one.
bool takesNames(const QString &option);
// A plugin or profile name: letters, digits, '_' and '-', the first no '-'; matched whole.
bool isPluginName(const QString &name);
// The arguments of a run with the settings, a map keyed by these options: a switch when its
// value is set, names one by one after their option, any other option before its value. Keys
// that are no options (the form's own) are left out.
QStringList fromSettings(const QVariantMap &settings);
// Why sos may not get these arguments (the text names the first argument refused); empty when
// every argument is on the list with a value it may take.
QString refusal(const QStringList &arguments);
// The same for the collector: its own options and the report options it passes on, and none
// that only sos report takes (some of whose short forms mean another thing to the collector).
QString collectRefusal(const QStringList &arguments);
// A host name or address as the collector takes it: no option, no space, no shell character.
bool isHostName(const QString &name);

} // namespace SosArguments
