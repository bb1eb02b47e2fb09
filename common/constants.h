// SPDX-License-Identifier: GPL-2.0-or-later
// Words every part of the application shares: the programs it starts, the sosreport options it
// passes, the keys of the settings store and a few fixed paths and names.
#pragma once

#include <QString>

namespace Kro {

// Programs and their fixed arguments
extern const QString PsProgram;
extern const QString SosreportProgram;
// The sos program with sub-commands; its collect sub-command gathers reports from other machines.
extern const QString SosProgram;
extern const QString ReadableForAllMode;

// sosreport options; the extended settings store their values under the same keys
extern const QString BatchOption;
extern const QString ListPluginsOption;
extern const QString OnlyPluginsOption;
extern const QString ProfilesOption;
extern const QString ForceBadPluginsOption;
extern const QString SplitOption;
extern const QString NoEtcOption;
extern const QString CaseIdOption;
extern const QString CompressionTypeOption;
extern const QString SysrootOption;
extern const QString TmpDirOption;
extern const QString AllOptionsOption;
extern const QString AllLogsOption;
// Replaces host names, addresses and user names in the report (sos 4.0 and later).
extern const QString CleanOption;
// A text sos adds to the archive's name.
extern const QString LabelOption;
extern const QString SinceOption;

// Keys of the extended settings map that are not sosreport options
extern const QString SinceValueKey;
extern const QString SinceUnitKey;
extern const QString ShowAllKey;

// Keys of the settings store
extern const QString GeometryKey;
extern const QString ExtendedKey;
extern const QString ReportDirsKey;
extern const QString DebugModuleDirsKey;
extern const QString ExtSettingsKey;
extern const QString PermAskAgainKey;
extern const QString PluginAskAgainKey;
// The reports table's sort column (-1: the order of the scan) and Qt::SortOrder.
extern const QString ReportSortColumnKey;
extern const QString ReportSortOrderKey;
// The options each sos version accepts are kept under SosOptionsKey/VERSION.
extern const QString SosOptionsKey;
// The service left in debug mode by a problem being reproduced, and since when.
extern const QString ReproduceServiceKey;
extern const QString ReproduceSinceKey;
// Module files whose warning the user silenced: path to the file's size and time of change.
extern const QString SilencedModulesKey;
// The default module folder whose absence was told in a box.
extern const QString DefaultModuleDirToldKey;

// Fixed paths and names
extern const QString RootDir;
extern const QString MainReportDir;
extern const QString CgroupsPlugin;
extern const QString PreselectedPlugin;
extern const QString DefaultDebugModuleDir;
extern const QString RebootFlagFile;
extern const QString RebootFlagWorkingCopy;
extern const QString SosVersionFile;
extern const QString SosPluginDir;
// sos's own configuration: its tmp-dir is where a run without --tmp-dir writes the report.
extern const QString SosConfigFile;

} // namespace Kro
