// SPDX-License-Identifier: GPL-2.0-or-later
// A report archive acted on with root rights for the user who asked. Report folders such as /tmp
// may be writable by others, so the report is opened once, relative to the folder the caller
// named and without following links, and every check and change is made on that open file:
// swapping the name for a link afterwards changes nothing. Reports are acted on only in report
// folders (ReportNames::isReportFolder), and sos's private map never as a single report.
#pragma once

#include "regularfile.h"
#include "workfolders.h"

#include <QString>
#include <sys/types.h>

class ReportFile
{
public:
    // Opens path for reading if it is a report the caller may act on: a regular file with a
    // single name, named like a report but not a private map, owned by root or by the caller,
    // in a report folder (sosTmpDir: the tmp-dir of sos's configuration). Empty on success,
    // otherwise why it was refused.
    QString open(uid_t caller, const QString &path, const QString &sosTmpDir);
    // The same for fileName (a name, no path; a private map too) in the report folder at
    // folderPath that the caller opened already: the files of one report set are all checked
    // and removed relative to that one folder.
    QString openIn(int openedFolder, const QString &folderPath, uid_t caller,
                   const QString &fileName);

    // Lets the caller, and nobody else, read the report.
    QString makeReadable(uid_t caller);

    // The protected copy is made without a name; it must not exist yet under the report's name
    // plus the protected suffix. Returns its descriptor, invalid on failure.
    int createProtectedCopy(WorkFolders &folders, QString &failure);
    // Gives the finished copy the report's owner and mode, names it beside the report (never
    // over an existing name) and removes the report, but only while its name still holds the
    // file that was read. Should the helper be killed in between, its next start removes the
    // report (noted in folders).
    QString keepProtectedCopy();
    // Drops an unfinished copy.
    void discardProtectedCopy();

    // Gives fd the report's owner and mode (its permission bits only).
    QString shareOwnership(int fd) const;
    // Removes the report's name, but only while it still holds the file that was opened.
    QString remove();

    int descriptor() const { return file.get(); }
    int folderDescriptor() const { return folder.get(); }
    const QString &folderPath() const { return folderAt; }
    const QByteArray &fileName() const { return name; }
    const struct stat &status() const { return info; }

private:
    QString nameCopy();

    UniqueFd folder;
    QString folderAt;
    UniqueFd file;
    QByteArray name;
    struct stat info
    {
    };
    UniqueFd copy;
    QByteArray copyName;
    // Only where the file system has no unnamed files.
    WorkFolder copyFolder;
    WorkFolders *folders = nullptr;
};
