// SPDX-License-Identifier: GPL-2.0-or-later
// The reports page: the table of the report archives in the report folders, filled at the
// user's word and refilled by itself when a folder changes (held back while the user points at
// a row), sorted and decorated, with its row actions, and what the status bar says about a report
// for as long as that report's file is there.
#pragma once

#include <QMultiMap>
#include <QObject>
#include <QStringList>

class Backstage;
class QStatusBar;
class QTableWidget;
class ReportActions;
class ReportsFolderWatcher;
class ReportsTableDecorator;
class ReportsTableHold;
class ReportsTableSorting;
struct SystemPaths;

class ReportsPage : public QObject
{
    Q_OBJECT

public:
    // reportDirs and volumeParts are the window's, read and written at each fill.
    ReportsPage(QTableWidget *table, QStatusBar *statusBar, Backstage &backstage,
                const QStringList &reportDirs, QMultiMap<QString, QString> &volumeParts,
                const SystemPaths &paths);
    ~ReportsPage() override;

    // Fills the table from the report folders; the newest report becomes current. Returns the
    // number of rows.
    int fill();
    // A fill the user did not ask for: the report the user was on stays current, or none is when
    // it went, the report at the top of the view stays there, and an unreadable folder, warned
    // about at the user's own fills, does not pop up at every change of another.
    void refresh();
    // Rows of the last fill still wait for their details.
    bool isFilling() const;
    // Makes the report's row current; false when the table has no such row.
    bool select(const QString &path);
    // The path of the current row's report, empty when no row is current.
    QString currentReport() const;
    ReportActions *actions() const { return reportActions; }
    // Says in the status bar what became of the report, for as long as the file is there.
    void announce(const QString &report, const QString &text);

signals:
    // The table was filled anew.
    void filled();

private:
    void describeFolders();
    void forgetVanishedAnnouncement();

    QTableWidget *table;
    QStatusBar *statusBar;
    Backstage &backstage;
    const QStringList &reportDirs;
    QMultiMap<QString, QString> &volumeParts;
    const SystemPaths &paths;
    ReportsTableDecorator *decorator;
    ReportsTableSorting *sorting;
    ReportActions *reportActions;
    ReportsFolderWatcher *watcher;
    ReportsTableHold *hold;
    // The report the status bar tells of, and what it tells.
    QString announcedReport;
    QString announcement;
};
