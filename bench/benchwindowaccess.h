// SPDX-License-Identifier: GPL-2.0-or-later
// Lets the listing benchmark point the window at its own folder of reports only: the folder
// dialog would always add /tmp, whose contents would blur the timings.
#pragma once

#include "mainwindow.h"

class BenchWindowAccess
{
public:
    static void setReportDirs(MainWindow &window, const QStringList &dirs)
    {
        window.reportDirs = dirs;
    }
};
