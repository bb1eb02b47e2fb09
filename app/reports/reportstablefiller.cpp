// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstablefiller.h"

#include "reportfiletimes.h"
#include "reportnames.h"
#include "reportstablecells.h"
#include "reportstabledecorator.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QSemaphore>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QThreadPool>
#include <QVector>
#include <algorithm>
#include <time.h>

namespace {

// The creation time in the user's locale, date first, with the whole year: reports of several
// years lie in one folder. localtime_r reads the time zone once, where a QDateTime conversion
// reads it for every file. Reports made or copied together share their second and reports of
// one day their date: a text is made once for them, not for every file.
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

    QString of(const FileTimes &times)
    {
        if (!times.hasCreated)
            return QString();
        const time_t seconds = static_cast<time_t>(times.created / 1000);
        if (seconds == lastSeconds && !lastText.isNull())
            return lastText;
        struct tm local;
        if (!::localtime_r(&seconds, &local))
            return QString();
        const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        if (date != lastDate || lastDateText.isNull()) {
            lastDate = date;
            lastDateText = locale.toString(date, dateFormat) + QLatin1Char(' ');
        }
        const QTime time(local.tm_hour, local.tm_min, local.tm_sec);
        lastSeconds = seconds;
        lastText = lastDateText + locale.toString(time, timeFormat);
        return lastText;
    }

private:
    const QLocale locale;
    QString dateFormat;
    const QString timeFormat;
    time_t lastSeconds = 0;
    QString lastText;
    QDate lastDate;
    QString lastDateText;
};

// What the date column sorts by: where the file system keeps no creation times the newest are
// still told by their modification.
qint64 createdKey(const FileTimes &times)
{
    return times.hasCreated ? times.created : times.modified;
}

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

// Below this many rows a second thread costs more than it saves.
const int SharedReadRows = 200;

// A report as the fill reads it: one statx of its file, and one of each of its volumes.
struct ReportRow
{
    QString path;
    FileTimes times;
    qint64 size = 0;
    QString created;
};

// Reads the times and sizes of rows [first, end) and adds their volumes' sizes.
void readTimes(ReportRow *first, ReportRow *end, const QMultiMap<QString, QString> &volumeParts)
{
    FileTimesReader reader;
    for (ReportRow *row = first; row != end; ++row) {
        row->times = reader.read(row->path);
        row->size = row->times.size;
        // Only a split report's main file has volumes: the others are not looked up.
        if (!ReportNames::isMultiVolumeMain(row->path))
            continue;
        const auto volumes = volumeParts.equal_range(row->path);
        for (auto volume = volumes.first; volume != volumes.second; ++volume)
            row->size += reader.read(*volume).size;
    }
}

// The statx calls take half of a fill's time: a long list is read in two halves at once, the
// second by a pooled thread where one is free.
void readTimes(QVector<ReportRow> &rows, const QMultiMap<QString, QString> &volumeParts)
{
    ReportRow *const begin = rows.data();
    ReportRow *const end = begin + rows.size();
    ReportRow *const middle = begin + rows.size() / 2;
    QSemaphore secondHalf;
    const bool shared =
        rows.size() >= SharedReadRows && QThreadPool::globalInstance()->tryStart([&] {
            readTimes(middle, end, volumeParts);
            secondHalf.release();
        });
    readTimes(begin, shared ? middle : end, volumeParts);
    if (shared)
        secondHalf.acquire();
}

// The keys the table's items sort by (ReportTableItem): the text of a name, the creation time
// (the modification where there is none), the size with the volumes.
bool lessThan(const ReportRow &a, const ReportRow &b, int column)
{
    switch (column) {
    case ReportsTableDecorator::NameColumn:
        return a.path.localeAwareCompare(b.path) < 0;
    case ReportsTableDecorator::CreatedColumn:
        return createdKey(a.times) < createdKey(b.times);
    default:
        return a.size < b.size;
    }
}

// The rows in the order the table's own stable sort would leave them after a fill in the scan's
// order.
void sortRows(QVector<ReportRow> &rows, int column, Qt::SortOrder order)
{
    if (column < 0)
        return;
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(),
                         [column](const auto &a, const auto &b) { return lessThan(a, b, column); });
    else
        std::stable_sort(rows.begin(), rows.end(),
                         [column](const auto &a, const auto &b) { return lessThan(b, a, column); });
}

// Writes the rows, makes the newest report current and fits the date column.
void writeRows(QTableWidget *table, const QVector<ReportRow> &rows)
{
    table->setRowCount(rows.size());
    NewestRow newest;
    ColumnFitter times(table->font());
    {
        // Each change of an item would be announced to the view on its own: the view is told
        // once, below.
        const QSignalBlocker quiet(table->model());
        const auto name = ReportsTableCells::prototype(
            table, Qt::ItemIsSelectable | Qt::ItemIsEnabled, ReportTableItem::SizeRole);
        const auto created =
            ReportsTableCells::prototype(table, Qt::NoItemFlags, ReportTableItem::SortKeyRole);
        for (int row = 0; row < rows.size(); ++row) {
            const ReportRow &report = rows.at(row);
            ReportsTableCells::set(table, row, 0, *name, report.path, ReportTableItem::SizeRole,
                                   report.size);
            ReportsTableCells::set(table, row, 1, *created, report.created,
                                   ReportTableItem::SortKeyRole, createdKey(report.times));
            newest.offer(row, report.times);
            times.offer(report.created);
        }
    }
    table->viewport()->update();
    if (!rows.isEmpty())
        table->setCurrentCell(newest.row(), 0);
    times.fit(table, 1);
}

} // namespace

ReportsTableFiller::ReportsTableFiller(QTableWidget *table) : table(table) {}

void ReportsTableFiller::sortBy(int column, Qt::SortOrder order)
{
    sortColumn = column;
    sortOrder = order;
}

// Rows are written in the order the table is sorted by: sorting thousands of items afterwards
// costs more than writing them.
int ReportsTableFiller::fill(const QStringList &reports,
                             const QMultiMap<QString, QString> &volumeParts)
{
    QVector<ReportRow> rows;
    rows.reserve(reports.size());
    for (const QString &path : reports)
        rows.append({path, {}, 0, {}});
    readTimes(rows, volumeParts);
    CreationText creationText;
    for (ReportRow &row : rows)
        row.created = creationText.of(row.times);
    sortRows(rows, sortColumn, sortOrder);
    writeRows(table, rows);
    return rows.size();
}
