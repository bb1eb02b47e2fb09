// SPDX-License-Identifier: GPL-2.0-or-later
// What the reports table shows of a report file, read with one statx call: a table of thousands
// of reports is filled and detailed every time a run ends.
#pragma once

#include <QString>

// Times in milliseconds since the epoch.
struct FileTimes
{
    bool hasCreated = false;
    qint64 created = 0;
    qint64 modified = 0;
    qint64 size = 0;
};

FileTimes fileTimes(const QString &path);
