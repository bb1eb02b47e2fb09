// SPDX-License-Identifier: GPL-2.0-or-later
// A report split into the volumes of a split zip (NAME.zip, NAME.z01, ...). zip writes them into
// a private work folder made beside the report (removed at the next start when the helper is
// killed) and reads the report through the descriptor the
// helper opened, so no name is resolved again; the volumes are then linked next to the report,
// never over an existing name, and the report is removed only once all of them are in place.
#pragma once

#include "workfolders.h"

#include <QByteArrayList>
#include <QStringList>
#include <QVector>
#include <memory>

class ReportFile;

class ReportVolumes
{
public:
    explicit ReportVolumes(std::shared_ptr<ReportFile> report);

    // Makes the private work folder. Empty on success, otherwise why it failed.
    QString prepare(WorkFolders &folders);
    // The arguments for zip, which must run with the report as its standard input and the
    // work folder's descriptor left open under the same number.
    QStringList zipArguments(int volumeMiB) const;
    int workFolder() const { return work.descriptor(); }

    // Puts the volumes zip made in place of the report; on failure removes them again.
    QString keep();
    // Removes the work folder with everything in it.
    void discard();

private:
    QString place(const QByteArrayList &volumes);
    QString prepareVolumes(const QByteArrayList &volumes, QVector<WorkFolders::Named> &ready);
    void unplace();

    std::shared_ptr<ReportFile> report;
    QByteArray stem;
    WorkFolder work;
    WorkFolders *folders = nullptr;
    QString note;
    QVector<WorkFolders::Named> placed;
};
