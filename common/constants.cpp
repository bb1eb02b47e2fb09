// SPDX-License-Identifier: GPL-2.0-or-later
#include "constants.h"

namespace Kro {

const QString PsProgram = QStringLiteral("ps");
const QString SosreportProgram = QStringLiteral("sosreport");
const QString ReadableForAllMode = QStringLiteral("o+r");

const QString BatchOption = QStringLiteral("--batch");
const QString ListPluginsOption = QStringLiteral("--list-plugins");
const QString OnlyPluginsOption = QStringLiteral("-o");
const QString ProfilesOption = QStringLiteral("-p");
const QString ForceBadPluginsOption = QStringLiteral("--forcedbadplugins");
const QString SplitOption = QStringLiteral("--split");
const QString NoEtcOption = QStringLiteral("--noetc");
const QString CaseIdOption = QStringLiteral("--case-id");
const QString CompressionTypeOption = QStringLiteral("--compression-type");
const QString SysrootOption = QStringLiteral("--sysroot");
const QString TmpDirOption = QStringLiteral("--tmp-dir");
const QString AllOptionsOption = QStringLiteral("--alloptions");
const QString AllLogsOption = QStringLiteral("--all-logs");
const QString CleanOption = QStringLiteral("--clean");
const QString LabelOption = QStringLiteral("--label");
const QString SinceOption = QStringLiteral("--since");

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
