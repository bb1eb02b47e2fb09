// SPDX-License-Identifier: GPL-2.0-or-later
// One report as the user chose it: its path and what its file was (device, inode, size and
// modification time) at the moment an action on it started. The reports table is refilled
// whenever a report folder changes, so an action that outlives a dialog acts on this, never on
// whatever row holds the report afterwards, and not at all once the file changed or vanished.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <sys/stat.h>

class QWidget;

class ReportIdentity
{
    Q_DECLARE_TR_FUNCTIONS(ReportIdentity)

public:
    ReportIdentity() = default;
    // The file at path as it is now; invalid when there is none.
    static ReportIdentity of(const QString &path);

    bool isValid() const { return !filePath.isEmpty(); }
    const QString &path() const { return filePath; }
    // Whether the path still names the very file, unchanged.
    bool stillHolds() const;
    // The same, telling the user in one box when it does not.
    bool stillHoldsOrTell(QWidget *parent) const;

private:
    QString filePath;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified
    {
    };
};
