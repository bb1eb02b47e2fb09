// SPDX-License-Identifier: GPL-2.0-or-later
// The files of one report (the archive, its volumes, checksum files and protected forms) removed
// with root rights for the user who asked. All of them lie in one folder, which is opened once;
// every file is opened and checked relative to it as a single report is, and none is removed
// unless all of them pass, so a planted link or another user's file refuses the whole set. The
// folder must be a report folder; sos's private map is removed with its report.
#pragma once

#include "reportfile.h"

#include <QStringList>
#include <memory>
#include <vector>

class ReportSet
{
public:
    // Empty on success, otherwise why the set was refused. sosTmpDir: the tmp-dir of sos's
    // configuration.
    QString open(uid_t caller, const QStringList &paths, const QString &sosTmpDir);
    // Removes every file while its name still holds the file that was checked. Empty on
    // success, otherwise one line per file that stayed.
    QString remove();

private:
    std::vector<std::unique_ptr<ReportFile>> files;
};
