// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstablecells.h"

#include <QTableWidget>

namespace ReportsTableCells {

std::unique_ptr<QTableWidgetItem> prototype(const QTableWidget *table, Qt::ItemFlags flags,
                                            int role)
{
    std::unique_ptr<QTableWidgetItem> item(table->itemPrototype() ? table->itemPrototype()->clone()
                                                                  : new QTableWidgetItem);
    item->setFlags(flags);
    item->setText(QString());
    item->setData(role, qint64(0));
    return item;
}

void set(QTableWidget *table, int row, int column, const QTableWidgetItem &prototype,
         const QString &text, int role, qint64 value)
{
    QTableWidgetItem *item = table->item(row, column);
    const bool isNew = !item;
    if (isNew)
        item = prototype.clone();
    item->setText(text);
    item->setData(role, value);
    if (isNew)
        table->setItem(row, column, item);
}

} // namespace ReportsTableCells
