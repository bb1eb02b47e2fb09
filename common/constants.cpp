// SPDX-License-Identifier: GPL-2.0-or-later
#include "constants.h"

#include "sosarguments.h"

namespace Kro {

const QString PsProgram = QStringLiteral("ps");
const QString SosreportProgram = QStringLiteral("sosreport");
const QString SosProgram = QStringLiteral("sos");
const QString ReadableForAllMode = QStringLiteral("o+r");

const QString BatchOption = SosArguments::Batch;
const QString ListPluginsOption = SosArguments::ListPlugins;
const QString OnlyPluginsOption = SosArguments::OnlyPlugins;
const QString ProfilesOption = SosArguments::Profiles;
const QString ForceBadPluginsOption = SosArguments::ForceBadPlugins;
const QString SplitOption = SosArguments::Split;
const QString NoEtcOption = SosArguments::NoEtc;
const QString CaseIdOption = SosArguments::CaseId;
const QString CompressionTypeOption = SosArguments::CompressionType;
// Only read from settings stored earlier: the form no longer offers it, and the helper never
// passes it on (see SosArguments).
const QString SysrootOption = QStringLiteral("--sysroot");
const QString TmpDirOption = SosArguments::TmpDir;
const QString AllOptionsOption = SosArguments::AllOptions;
const QString AllLogsOption = SosArguments::AllLogs;
const QString CleanOption = SosArguments::Clean;
const QString LabelOption = SosArguments::Label;
const QString SinceOption = SosArguments::Since;

const QString SinceValueKey = QStringLiteral("sinceval");
const QString SinceUnitKey = QStringLiteral("sinceunit");
const QString ShowAllKey = QStringLiteral("showall");

const QString GeometryKey = QStringLiteral("geometry");
const QString ExtendedKey = QStringLiteral("extended");
const QString ReportDirsKey = QStringLiteral("tmpdirs");
const QString DebugModuleDirsKey = QStringLiteral("debugjson");
const QString ExtSettingsKey = QStringLiteral("extsett");
const QString PermAskAgainKey = QStringLiteral("permaskagain");
const QString PluginAskAgainKey = QStringLiteral("pluginaskagain");
const QString ReportSortColumnKey = QStringLiteral("reportsortcolumn");
const QString ReportSortOrderKey = QStringLiteral("reportsortorder");
const QString SosOptionsKey = QStringLiteral("sosoptions");
const QString ReproduceServiceKey = QStringLiteral("reproduce/service");
const QString ReproduceSinceKey = QStringLiteral("reproduce/since");
const QString SilencedModulesKey = QStringLiteral("silencedmodules");
const QString DefaultModuleDirToldKey = QStringLiteral("defaultmoduledirtold");

const QString RootDir = QStringLiteral("/");
const QString MainReportDir = QStringLiteral("/tmp");
const QString CgroupsPlugin = QStringLiteral("cgroups");
const QString PreselectedPlugin = QStringLiteral("velta-sosreport");
const QString DefaultDebugModuleDir = QStringLiteral("/usr/share/kro-sosreport/debugmodules");
const QString RebootFlagFile = QStringLiteral("/run/kro-sosreport-need-reboot");
const QString RebootFlagWorkingCopy = QStringLiteral("/tmp/kro-sosreport-need-reboot");
const QString SosVersionFile = QStringLiteral("/usr/lib/python3/dist-packages/sos/__init__.py");
const QString SosPluginDir = QStringLiteral("/usr/lib/python3/dist-packages/sos/report/plugins");
const QString SosConfigFile = QStringLiteral("/etc/sos/sos.conf");

} // namespace Kro
