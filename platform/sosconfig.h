// SPDX-License-Identifier: GPL-2.0-or-later
// Reads from sos's configuration file the folder where a run without --tmp-dir leaves reports.
#pragma once

#include <QString>

class SosConfig
{
public:
    // The tmp-dir set in configPath, or sos's built-in folder when the file sets none.
    static QString reportFolder(const QString &configPath);

    static constexpr const char *BuiltInReportFolder = "/var/tmp";
    // Where the installed sos reads its configuration.
    static constexpr const char *InstalledConfigFile = "/etc/sos/sos.conf";
};
