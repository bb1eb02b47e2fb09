// SPDX-License-Identifier: GPL-2.0-or-later
// A report archive acted on with root rights for the user who asked. Report folders such as /tmp
// may be writable by others, so the report is opened once, relative to the folder the caller
// named and without following links, and every check and change is made on that open file:
// swapping the name for a link afterwards changes nothing.
#pragma once

#include "regularfile.h"

#include <QString>
#include <sys/types.h>

class ReportFile
{
public:
    // Opens path for reading if it is a report the caller may act on: a regular file with a
    // single name, named like a report, owned by root or by the caller. Empty on success,
    // otherwise why it was refused.
    QString open(uid_t caller, const QString &path);
    // The same for fileName (a name, no path) in a folder the caller opened already: the files
    // of one report set are all checked and removed relative to that one folder.
    QString openIn(int openedFolder, uid_t caller, const QString &fileName);

    // Adds read permission for others, nothing else.
    QString makeReadable();

    // The protected copy is written beside the report under the report's name plus the
    // protected suffix; it must not exist yet. Returns its descriptor, invalid on failure.
    int createProtectedCopy(QString &failure);
    // Gives the finished copy the report's owner and mode and removes the report, but only
    // while its name still holds the file that was read.
    QString keepProtectedCopy();
    // Removes an unfinished copy.
    void discardProtectedCopy();

    // Gives fd the report's owner and mode (its permission bits only).
    QString shareOwnership(int fd) const;
    // Removes the report's name, but only while it still holds the file that was opened.
    QString remove();

    int descriptor() const { return file.get(); }
    int folderDescriptor() const { return folder.get(); }
    const QByteArray &fileName() const { return name; }

private:
    UniqueFd folder;
    UniqueFd file;
    QByteArray name;
    struct stat info
    {
    };
    UniqueFd copy;
    QByteArray copyName;
    struct stat copyInfo
    {
    };
};
