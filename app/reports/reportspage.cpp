// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportspage.h"

#include "backstage.h"
#include "reportactions.h"
#include "reportsfolderwatcher.h"
#include "reportstabledecorator.h"
#include "reportstablefiller.h"
#include "reportstablehold.h"
#include "reportstablesorting.h"
#include "sosconfig.h"
#include "systempaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableWidget>

ReportsPage::ReportsPage(QTableWidget *table, QStatusBar *statusBar, Backstage &backstage,
                         const QStringList &reportDirs, QMultiMap<QString, QString> &volumeParts,
                         const SystemPaths &paths)
    : QObject(table), table(table), statusBar(statusBar), backstage(backstage),
      reportDirs(reportDirs), volumeParts(volumeParts), paths(paths),
      decorator(new ReportsTableDecorator(table)), sorting(new ReportsTableSorting(table)),
      reportActions(new ReportActions(table, &backstage, volumeParts)),
      watcher(new ReportsFolderWatcher(this)), hold(new ReportsTableHold(table))
{
    connect(reportActions, &ReportActions::reportsDeleted, this, &ReportsPage::refresh);
    connect(watcher, &ReportsFolderWatcher::foldersChanged, hold, &ReportsTableHold::request);
    connect(hold, &ReportsTableHold::due, this, &ReportsPage::refresh);
}

ReportsPage::~ReportsPage()
{
    delete decorator;
}

int ReportsPage::fill()
{
    describeFolders();
    // Watched before they are read, so that a report written during the scan is not missed.
    watcher->watch(reportDirs);
    // What the folders held until now is read now: a refill asked for before is done by this one.
    hold->drop();
    const QStringList reports = backstage.reportFiles(reportDirs, volumeParts);
    table->setHorizontalHeaderLabels(QStringList{tr("File name"), tr("Creation date"), tr("Size")});
    // A table the user sorted has cells that no longer know their rows, and Qt searches the
    // whole table for each cell a refill changes: the rows are made anew instead.
    if (sorting->rowsMoved())
        table->setRowCount(0);
    ReportsTableFiller filler(table);
    filler.sortBy(sorting->sortColumn(), sorting->sortOrder());
    const int rows = filler.fill(reports, volumeParts);
    forgetVanishedAnnouncement();
    sorting->apply();
    decorator->apply();
    emit filled();
    return rows;
}

void ReportsPage::refresh()
{
    const QString report = currentReport();
    const QTableWidgetItem *top = table->itemAt(0, 0);
    const QString topReport = top ? table->item(top->row(), 0)->text() : QString();
    {
        const QSignalBlocker quiet(&backstage);
        fill();
    }
    if (!report.isEmpty() && !select(report))
        table->setCurrentItem(nullptr);
    const QList<QTableWidgetItem *> tops = table->findItems(topReport, Qt::MatchExactly);
    if (!topReport.isEmpty() && !tops.isEmpty())
        table->scrollToItem(tops.first(), QAbstractItemView::PositionAtTop);
    decorator->applyToVisibleRows();
}

bool ReportsPage::isFilling() const
{
    return decorator->isPending();
}

bool ReportsPage::select(const QString &path)
{
    const QList<QTableWidgetItem *> rows = table->findItems(path, Qt::MatchExactly);
    for (QTableWidgetItem *row : rows) {
        if (row->column() != ReportsTableDecorator::NameColumn)
            continue;
        table->setCurrentItem(row);
        return true;
    }
    return false;
}

QString ReportsPage::currentReport() const
{
    return reportActions->currentReport();
}

void ReportsPage::announce(const QString &report, const QString &text)
{
    announcedReport = report;
    announcement = text;
    statusBar->showMessage(text);
}

// A report protected, deleted or moved is no longer announced under its old name.
void ReportsPage::forgetVanishedAnnouncement()
{
    if (announcedReport.isEmpty() || QFileInfo::exists(announcedReport))
        return;
    if (statusBar->currentMessage() == announcement)
        statusBar->clearMessage();
    announcedReport.clear();
}

// The table lists report folders; sos itself writes where its configuration says. Both are
// named where the user looks for a missing report.
void ReportsPage::describeFolders()
{
    const QString sosFolder = SosConfig::reportFolder(paths.sosConfigFile);
    QStringList shown;
    for (const QString &dir : reportDirs)
        shown.append(QDir::toNativeSeparators(dir));
    QString text = tr("Reports are listed from: %1.\nsos writes new reports to %2.")
                       .arg(shown.join(QStringLiteral(", ")), sosFolder);
    if (!reportDirs.contains(sosFolder) && !reportDirs.contains(sosFolder + QLatin1Char('/')))
        text += QLatin1Char('\n') +
                tr("Add %1 to the folders with reports to list them.").arg(sosFolder);
    table->setToolTip(text);
    table->setAccessibleDescription(text);
}
