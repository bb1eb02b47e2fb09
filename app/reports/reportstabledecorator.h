// SPDX-License-Identifier: GPL-2.0-or-later
// What the reports table shows beside a report's name and creation time: the "Size" column (the
// volumes of a multi-volume archive added up), a lock for a protected archive, a mark for an
// obfuscated one, the keys the columns sort by, and what to do when there are no reports yet.
// A large table gets its details for the rows in view first, then for as many others as a slice
// of a frame's time allows, and for the rest in such slices after, so that the window keeps
// painting.
#pragma once

#include <QBitArray>
#include <QCoreApplication>
#include <QIcon>
#include <QLocale>
#include <QTableWidgetItem>
#include <QTimer>

class QLabel;
class QTableWidget;

// A table cell that sorts by its SortKeyRole value where it has one, otherwise by its text.
class ReportTableItem : public QTableWidgetItem
{
public:
    static const int SortKeyRole = Qt::UserRole + 1;
    // On a report's name: the size of its file and its volumes, as the table's fill read them.
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
    // columns already. A small table gets them at once, a large one those in view first and
    // then a slice's worth.
    void apply();
    // Details the rows in view that have none yet, after the view moved.
    void applyToVisibleRows();
    // Details every row still waiting, before anything needs them all.
    void finish();
    // Rows still wait for their details.
    bool isPending() const { return slices.isActive(); }

private:
    void applyToRows(int first, int end);
    void applyNextSlice();
    void fitSizeColumn();
    void markRow(QTableWidgetItem *name);

    // Tables up to this many rows are detailed at once.
    static const int AtOnceRows = 200;
    // The time a slice may take, a part of one frame at 60 Hz.
    static const int SliceMs = 8;

    QTableWidget *table;
    QLocale locale;
    QBitArray detailed;
    int nextRow = 0;
    int longestRow = -1;
    int longestText = 0;
    // Drives the slices; also the context of the connections to the table, ending with this.
    QTimer slices;
    QLabel *emptyText;
    // Looked up once: a theme lookup a row would cost more than the rest of the row.
    const QIcon protectedIcon;
    const QIcon obfuscatedIcon;
    const QIcon noIcon;
};
