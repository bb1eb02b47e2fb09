// SPDX-License-Identifier: GPL-2.0-or-later
// Cells of the reports table, written in bulk: a table of thousands of reports is filled again
// each time a run ends. A new cell is a copy of a prepared item, and a cell a previous fill left
// in place is reused.
#pragma once

#include <QString>
#include <Qt>
#include <memory>

class QTableWidget;
class QTableWidgetItem;

namespace ReportsTableCells {

// An item of the table's item type with flags and both of its values already in place: a copy
// only changes the values, where values added one by one cost an allocation each.
std::unique_ptr<QTableWidgetItem> prototype(const QTableWidget *table, Qt::ItemFlags flags,
                                            int role);

// Sets the text and the role's value of a cell, made from prototype where the cell has no item
// yet. A new item is filled before it goes into the table, where every change of an item is
// announced to the view.
void set(QTableWidget *table, int row, int column, const QTableWidgetItem &prototype,
         const QString &text, int role, qint64 value);

} // namespace ReportsTableCells
