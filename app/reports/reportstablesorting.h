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

    // Shows the stored choice on the header of a table filled in its order, with the current
    // row in view.
    void apply();
    // Whether a column is chosen.
    bool sortsRows() const;
    // The chosen column, -1 for none, and its order.
    int sortColumn() const { return column; }
    Qt::SortOrder sortOrder() const { return order; }
    // Whether the user's sort moved rows since the last fill: their cells no longer know their
    // rows then.
    bool rowsMoved() const { return moved; }

private:
    void chooseColumn(int column);

    QTableWidget *table;
    int column = -1;
    Qt::SortOrder order = Qt::AscendingOrder;
    bool moved = false;
};
