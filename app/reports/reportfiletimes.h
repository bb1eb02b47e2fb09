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

// Reads each file relative to its folder, which stays open while the files of one folder follow
// each other: resolving every absolute path again costs as much as the statx itself.
class FileTimesReader
{
public:
    FileTimesReader() = default;
    FileTimesReader(const FileTimesReader &) = delete;
    FileTimesReader &operator=(const FileTimesReader &) = delete;
    ~FileTimesReader() { closeFolder(); }

    FileTimes read(const QString &path);

private:
    void closeFolder();

    QString folder;
    int folderFd = -1;
};
