// SPDX-License-Identifier: GPL-2.0-or-later
// Sorting the reports table by the column whose header the user clicked (again: the other way),
// kept in the settings store so that the next start sorts the same way. Until a column is chosen
// the newest report comes first. The table is sorted once after each fill rather than
// kept sorted, so that a fill never moves rows while it writes them.
#pragma once

#include <QObject>

class QTableWidget;

class ReportsTableSorting : public QObject
{
    Q_OBJECT

public:
    explicit ReportsTableSorting(QTableWidget *table);

    // Sorts the freshly filled table by the stored choice, keeping the current row.
    void apply();
    // Whether apply() moves rows away from the order of the scan.
    bool sortsRows() const;

private:
    void chooseColumn(int column);

    QTableWidget *table;
    int column = -1;
    Qt::SortOrder order = Qt::AscendingOrder;
};
