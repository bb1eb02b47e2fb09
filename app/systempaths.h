// SPDX-License-Identifier: GPL-2.0-or-later
// The system's fixed files that the window reads or has the helper write; tests point them into
// folders of their own.
#pragma once

#include "constants.h"
#include "packagemanager.h"

#include <QString>

struct SystemPaths
{
    // Where the package installs its debug modules: the module folder until the user sets others.
    QString defaultDebugModuleDir = Kro::DefaultDebugModuleDir;
    QString rebootFlagFile = Kro::RebootFlagFile;
    QString rebootFlagWorkingCopy = Kro::RebootFlagWorkingCopy;
    // sos's configuration, read for the folder of its reports.
    QString sosConfigFile = Kro::SosConfigFile;
    // Where the installed sos keeps its plugin modules.
    QString sosPluginDir = Kro::SosPluginDir;
    // The sos package's module that states its version.
    QString sosVersionFile = Kro::SosVersionFile;
    // dpkg's record of the installed packages, which tells the services a module can switch.
    QString dpkgStatusFile = KroAdmin::PackageManager::StatusDatabase;
};
