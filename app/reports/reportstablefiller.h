// SPDX-License-Identifier: GPL-2.0-or-later
// Fills the reports table: a row per report the scan listed, with its creation time,
// written in the order the table is sorted by, the newest report made current and the date
// column fitted to its texts (the name column takes the rest of the table's width). A folder can
// hold thousands of reports and the table is filled again each time a run ends, so cells are
// reused, the view is told of them at once, and column widths are estimated rather than
// measured row by row.
#pragma once

#include <QMultiMap>
#include <QStringList>

class QTableWidget;

class ReportsTableFiller
{
public:
    explicit ReportsTableFiller(QTableWidget *table);

    // The column and order the rows are written in; without, the order of the scan.
    void sortBy(int column, Qt::SortOrder order);
    // Returns the number of rows filled. The name cell of each row holds the size of the report
    // with its volumes.
    int fill(const QStringList &reports, const QMultiMap<QString, QString> &volumeParts);

private:
    QTableWidget *table;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};
