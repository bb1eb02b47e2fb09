// SPDX-License-Identifier: GPL-2.0-or-later
// Follows what sosreport prints while it runs: which plugin it has started out of how many,
// and, at the end, where it saved the archive with its size and checksum. Output arrives in
// pieces; only complete lines are read.
#pragma once

#include <QByteArray>
#include <QString>

class SosProgress
{
public:
    void feed(const QByteArray &output);

    int pluginsStarted() const { return started; }
    int pluginsTotal() const { return total; }
    QString currentPlugin() const { return plugin; }
    QString archive() const { return archivePath; }
    QString archiveSize() const { return size; }
    QString archiveChecksum() const { return checksum; }

private:
    void readLine(const QByteArray &line);

    QByteArray pending;
    bool archiveNext = false;
    int started = 0;
    int total = 0;
    QString plugin;
    QString archivePath;
    QString size;
    QString checksum;
};
