// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstablefiller.h"

#include "reportfiletimes.h"
#include "reportnames.h"
#include "reportstabledecorator.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QTableWidget>
#include <QVector>
#include <algorithm>
#include <time.h>

namespace {

// The creation time in the user's locale, date first, with the whole year: reports of several
// years lie in one folder. localtime_r reads the time zone once, where a QDateTime conversion
// reads it for every file.
class CreationText
{
public:
    CreationText()
        : dateFormat(locale.dateFormat(QLocale::ShortFormat)),
          timeFormat(locale.timeFormat(QLocale::ShortFormat))
    {
        if (!dateFormat.contains(QLatin1String("yyyy")))
            dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }

    QString of(const FileTimes &times) const
    {
        if (!times.hasCreated)
            return QString();
        const time_t seconds = static_cast<time_t>(times.created / 1000);
        struct tm local;
        if (!::localtime_r(&seconds, &local))
            return QString();
        const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        const QTime time(local.tm_hour, local.tm_min, local.tm_sec);
        return locale.toString(date, dateFormat) + QLatin1Char(' ') +
               locale.toString(time, timeFormat);
    }

private:
    const QLocale locale;
    QString dateFormat;
    const QString timeFormat;
};

// The row to make current: the newest creation time after the start of 1970; where the file
// system keeps no creation times, the newest modification. Earlier rows win ties.
class NewestRow
{
public:
    void offer(int row, const FileTimes &times)
    {
        if (times.hasCreated && times.created > newestCreated) {
            newestCreated = times.created;
            createdRow = row;
        }
        if (modifiedRow < 0 || times.modified > newestModified) {
            newestModified = times.modified;
            modifiedRow = row;
        }
    }
    int row() const { return createdRow >= 0 ? createdRow : modifiedRow; }

private:
    qint64 newestCreated = QDateTime(QDate(1970, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
    int createdRow = -1;
    qint64 newestModified = 0;
    int modifiedRow = -1;
};

// Sets the text and one more value of a cell, reusing the item a previous refill left there: a
// table of thousands of reports is filled again each time a run ends. A new item is filled before
// it goes into the table, where every change of an item is announced to the view.
void setCell(QTableWidget *table, int row, int column, const QString &text, Qt::ItemFlags flags,
             int role, qint64 value)
{
    QTableWidgetItem *item = table->item(row, column);
    if (item) {
        item->setText(text);
        item->setData(role, value);
        return;
    }
    item = table->itemPrototype() ? table->itemPrototype()->clone() : new QTableWidgetItem;
    item->setFlags(flags);
    item->setText(text);
    item->setData(role, value);
    table->setItem(row, column, item);
}

// Fits a column to its widest text, as resizeColumnToContents does, without laying out the text
// of every row: the widths are first estimated from cached character advances, and only the
// few widest texts are measured by the item delegate.
class ColumnFitter
{
public:
    explicit ColumnFitter(const QFont &font) : metrics(font)
    {
        std::fill_n(latinAdvances, LatinCount, -1);
    }

    void offer(const QString &text)
    {
        int width = 0;
        for (const QChar character : text)
            width += advance(character);
        estimates.append(width);
    }

    void fit(QTableWidget *table, int column)
    {
        const int widest =
            estimates.isEmpty() ? 0 : *std::max_element(estimates.cbegin(), estimates.cend());
        const int slack = 2 * metrics.averageCharWidth();
        int content = 0;
        int measured = 0;
        for (int row = 0; row < estimates.size() && measured < MaxMeasured; ++row) {
            if (estimates.at(row) + slack < widest)
                continue;
            content =
                qMax(content, table->sizeHintForIndex(table->model()->index(row, column)).width());
            ++measured;
        }
        // The grid line takes one pixel of the cell.
        if (measured > 0 && table->showGrid())
            ++content;
        table->horizontalHeader()->resizeSection(
            column, qMax(content, table->horizontalHeader()->sectionSizeHint(column)));
    }

private:
    static const int MaxMeasured = 20;

    int advance(QChar character)
    {
        const ushort code = character.unicode();
        if (code >= LatinCount)
            return metrics.horizontalAdvance(character);
        if (latinAdvances[code] < 0)
            latinAdvances[code] = metrics.horizontalAdvance(character);
        return latinAdvances[code];
    }

    static const int LatinCount = 256;
    QFontMetrics metrics;
    int latinAdvances[LatinCount];
    QVector<int> estimates;
};

} // namespace

ReportsTableFiller::ReportsTableFiller(QTableWidget *table) : table(table) {}

int ReportsTableFiller::fill(const QStringList &reports)
{
    // Checksum files get no row: counting first spares the table inserting rows for them and
    // removing those rows again, which costs as much as the rows themselves.
    table->setRowCount(int(std::count_if(reports.cbegin(), reports.cend(), [](const QString &path) {
        return !ReportNames::isChecksum(path);
    })));
    NewestRow newest;
    const CreationText creationText;
    ColumnFitter times(table->font());
    FileTimesReader timesReader;
    int row = 0;
    for (const QString &path : reports) {
        if (ReportNames::isChecksum(path))
            continue;
        const FileTimes fileTime = timesReader.read(path);
        const QString created = creationText.of(fileTime);
        // What the file's one statx gave is kept for the sorting and the Size column; where the
        // file system keeps no creation times the newest are still told by their modification.
        setCell(table, row, 0, path, Qt::ItemIsSelectable | Qt::ItemIsEnabled,
                ReportTableItem::SizeRole, fileTime.size);
        setCell(table, row, 1, created, Qt::NoItemFlags, ReportTableItem::SortKeyRole,
                fileTime.hasCreated ? fileTime.created : fileTime.modified);
        newest.offer(row, fileTime);
        times.offer(created);
        ++row;
    }

    if (row > 0)
        table->setCurrentCell(newest.row(), 0);
    times.fit(table, 1);
    return row;
}
