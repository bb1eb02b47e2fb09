// SPDX-License-Identifier: GPL-2.0-or-later
// The list of debug modules that wait for a reboot: read from its published file, and extended
// in a working copy that the privileged helper then moves over the published file. The working
// copy lies in a folder every user may write to, so it is only ever a regular file of our own.
#pragma once

#include <QString>

class RebootFlag
{
public:
    RebootFlag(const QString &publishedFile, const QString &workingCopy);

    bool isPending(const QString &moduleName) const;
    // Starts the working copy from the published file unless it already exists.
    bool prepareWorkingCopy() const;
    bool addToWorkingCopy(const QString &moduleName) const;

private:
    QString publishedFile;
    QString workingCopy;
};
