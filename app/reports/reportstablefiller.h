// SPDX-License-Identifier: GPL-2.0-or-later
// Fills the reports table: a row per report with its creation time, checksum files left out,
// the newest report made current and the date column fitted to its texts (the name column takes
// the rest of the table's width). A folder can hold
// thousands of reports and the table is filled again each time a run ends, so cells are reused
// and column widths are estimated rather than measured row by row.
#pragma once

#include <QStringList>

class QTableWidget;

class ReportsTableFiller
{
public:
    explicit ReportsTableFiller(QTableWidget *table);

    // Returns the number of rows filled.
    int fill(const QStringList &reports);

private:
    QTableWidget *table;
};
