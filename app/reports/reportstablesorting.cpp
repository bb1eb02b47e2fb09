// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstablesorting.h"

#include "constants.h"
#include "reportstabledecorator.h"

#include <QHeaderView>
#include <QSettings>
#include <QTableWidget>

ReportsTableSorting::ReportsTableSorting(QTableWidget *table) : QObject(table), table(table)
{
    // Until the user chooses, the newest report comes first: it is the one most often wanted.
    const QSettings settings;
    column = settings.value(Kro::ReportSortColumnKey, ReportsTableDecorator::CreatedColumn).toInt();
    order =
        settings.value(Kro::ReportSortOrderKey, Qt::DescendingOrder).toInt() == Qt::DescendingOrder
            ? Qt::DescendingOrder
            : Qt::AscendingOrder;
    // A header click would otherwise also select the whole column and move the current row.
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView *header = table->horizontalHeader();
    header->setSectionsClickable(true);
    // Shown before the first fill, which fits the columns to their headers with the indicator.
    if (column >= 0) {
        header->setSortIndicatorShown(true);
        header->setSortIndicator(column, order);
    }
    connect(header, &QHeaderView::sectionClicked, this, &ReportsTableSorting::chooseColumn);
}

bool ReportsTableSorting::sortsRows() const
{
    return column >= 0 && column < table->columnCount();
}

void ReportsTableSorting::apply()
{
    moved = false;
    if (!sortsRows())
        return;
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setSortIndicator(column, order);
    if (QTableWidgetItem *current = table->currentItem())
        table->scrollToItem(current);
}

void ReportsTableSorting::chooseColumn(int clicked)
{
    order =
        clicked == column && order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    column = clicked;
    QSettings settings;
    settings.setValue(Kro::ReportSortColumnKey, column);
    settings.setValue(Kro::ReportSortOrderKey, int(order));
    table->sortItems(column, order);
    apply();
    moved = true;
}
