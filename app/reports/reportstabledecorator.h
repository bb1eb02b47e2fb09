// SPDX-License-Identifier: GPL-2.0-or-later
// What the reports table shows beside a report's name and creation time: the "Size" column (the
// volumes of a multi-volume archive added up), a lock for a protected archive, a mark for an
// obfuscated one, the keys the columns sort by, and what to do when there are no reports yet.
#pragma once

#include <QCoreApplication>
#include <QIcon>
#include <QMultiMap>
#include <QTableWidgetItem>

class QLabel;
class QTableWidget;

// A table cell that sorts by its SortKeyRole value where it has one, otherwise by its text.
class ReportTableItem : public QTableWidgetItem
{
public:
    static const int SortKeyRole = Qt::UserRole + 1;
    // On a report's name: the size of its own file, as the table's fill read it.
    static const int SizeRole = Qt::UserRole + 2;

    QTableWidgetItem *clone() const override { return new ReportTableItem(*this); }
    bool operator<(const QTableWidgetItem &other) const override;
};

class ReportsTableDecorator
{
    Q_DECLARE_TR_FUNCTIONS(ReportsTableDecorator)

public:
    enum Column
    {
        NameColumn = 0,
        CreatedColumn = 1,
        SizeColumn = 2
    };

    // Makes the table's cells ReportTableItems and gives it the empty-table text.
    explicit ReportsTableDecorator(QTableWidget *table);

    // Adds the details to the rows the table was just filled with; the table has its three
    // columns already.
    void apply(const QMultiMap<QString, QString> &volumeParts);

private:
    void setSizeItem(int row, const QString &text, qint64 size);
    void markRow(QTableWidgetItem *name);

    QTableWidget *table;
    QLabel *emptyText;
    // Looked up once: a theme lookup a row would cost more than the rest of the row.
    const QIcon protectedIcon;
    const QIcon obfuscatedIcon;
    const QIcon noIcon;
};
