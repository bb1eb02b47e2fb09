// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstabledecorator.h"

#include "reportnames.h"
#include "reportstablecells.h"
#include "reportstabledelegate.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// sos names an archive whose host names, addresses and user names it replaced like this.
const QString ObfuscatedMark = QStringLiteral("obfuscated");

} // namespace

bool ReportTableItem::operator<(const QTableWidgetItem &other) const
{
    const QVariant key = data(SortKeyRole);
    const QVariant otherKey = other.data(SortKeyRole);
    if (key.isValid() && otherKey.isValid())
        return key.toLongLong() < otherKey.toLongLong();
    return QTableWidgetItem::operator<(other);
}

ReportsTableDecorator::ReportsTableDecorator(QTableWidget *table)
    : table(table), emptyText(new QLabel(tr("No reports yet. Press Generate report."))),
      protectedIcon(QIcon::fromTheme(QStringLiteral("dialog-password"))),
      obfuscatedIcon(QIcon::fromTheme(QStringLiteral("user-invisible")))
{
    table->setItemPrototype(new ReportTableItem);
    table->setItemDelegate(new ReportsTableDelegate(table));
    table->setTextElideMode(Qt::ElideMiddle);
    // A name broken at its dashes would show only its first part.
    table->setWordWrap(false);
    // Row numbers tell nothing about a report and take room from its name.
    table->verticalHeader()->hide();
    // The name takes what the date and the size leave: they are short and always shown whole,
    // and a long name is shortened in its middle rather than pushing them out of the window.
    table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    emptyText->setObjectName(QStringLiteral("emptyReportsLbl"));
    emptyText->setAlignment(Qt::AlignCenter);
    emptyText->setWordWrap(true);
    auto *layout = new QVBoxLayout(table->viewport());
    layout->addWidget(emptyText);
    slices.setInterval(0);
    QObject::connect(&slices, &QTimer::timeout, [this] { applyNextSlice(); });
    QObject::connect(table->verticalScrollBar(), &QScrollBar::valueChanged, &slices,
                     [this] { applyToVisibleRows(); });
    // Sorting by a column needs every row's keys.
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, &slices,
                     [this] { finish(); });
}

void ReportsTableDecorator::apply()
{
    const int rows = table->rowCount();
    slices.stop();
    locale = QLocale();
    detailed.fill(false, rows);
    nextRow = 0;
    longestRow = -1;
    longestText = 0;
    emptyText->setVisible(rows == 0);
    if (rows <= AtOnceRows) {
        applyToRows(0, rows);
        fitSizeColumn();
        return;
    }
    // The rows in view first, then as many as a slice's time allows: most tables are complete
    // before the window paints, and paint once.
    applyToVisibleRows();
    applyNextSlice();
    if (nextRow < rows)
        slices.start();
}

void ReportsTableDecorator::applyToVisibleRows()
{
    if (detailed.isEmpty())
        return;
    const int first = qMax(0, table->rowAt(0));
    const int last = table->rowAt(table->viewport()->height() - 1);
    applyToRows(first, last < 0 ? table->rowCount() : last + 1);
    fitSizeColumn();
}

void ReportsTableDecorator::finish()
{
    if (!isPending())
        return;
    slices.stop();
    applyToRows(0, table->rowCount());
    fitSizeColumn();
}

void ReportsTableDecorator::applyNextSlice()
{
    QElapsedTimer spent;
    spent.start();
    const int rows = table->rowCount();
    while (nextRow < rows && spent.elapsed() < SliceMs) {
        const int end = qMin(rows, nextRow + 64);
        applyToRows(nextRow, end);
        nextRow = end;
    }
    fitSizeColumn();
    if (nextRow >= rows)
        slices.stop();
}

void ReportsTableDecorator::applyToRows(int first, int end)
{
    // Size texts differ little in width: the longest one is measured alone, not every row.
    end = qMin(end, detailed.size());
    const auto sizePrototype =
        ReportsTableCells::prototype(table, Qt::NoItemFlags, ReportTableItem::SortKeyRole);
    sizePrototype->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Each change of an item would be announced to the view on its own, mostly for rows out of
    // view: the view is told once, below, where rows in view changed.
    const QSignalBlocker quiet(table->model());
    int changedFirst = -1;
    int changedEnd = -1;
    for (int row = first; row < end; ++row) {
        if (detailed.testBit(row))
            continue;
        detailed.setBit(row);
        changedFirst = changedFirst < 0 ? row : changedFirst;
        changedEnd = row + 1;
        QTableWidgetItem *name = table->item(row, NameColumn);
        const qint64 size = name->data(ReportTableItem::SizeRole).toLongLong();
        const QString sizeText = locale.formattedDataSize(size);
        ReportsTableCells::set(table, row, SizeColumn, *sizePrototype, sizeText,
                               ReportTableItem::SortKeyRole, size);
        if (sizeText.size() > longestText) {
            longestText = sizeText.size();
            longestRow = row;
        }
        markRow(name);
    }
    const int lastInView = table->rowAt(table->viewport()->height() - 1);
    if (changedFirst >= 0 && changedEnd > table->rowAt(0) &&
        (lastInView < 0 || changedFirst <= lastInView))
        table->viewport()->update();
}

void ReportsTableDecorator::fitSizeColumn()
{
    const int content =
        longestRow < 0
            ? 0
            : table->sizeHintForIndex(table->model()->index(longestRow, SizeColumn)).width() +
                  (table->showGrid() ? 1 : 0);
    table->horizontalHeader()->resizeSection(
        SizeColumn, qMax(content, table->horizontalHeader()->sectionSizeHint(SizeColumn)));
}

void ReportsTableDecorator::markRow(QTableWidgetItem *name)
{
    const QString path = name->text();
    const QStringRef fileName = path.midRef(path.lastIndexOf(QLatin1Char('/')) + 1);
    QStringList marks;
    const QIcon *icon = &noIcon;
    if (fileName.contains(ObfuscatedMark)) {
        marks.append(tr("obfuscated: host names, addresses and user names hidden"));
        icon = &obfuscatedIcon;
        // Only obfuscated reports have a map: the one file looked for beyond the fill.
        if (QFileInfo::exists(ReportNames::privateMapOf(path)))
            marks.append(tr("The private map of the hidden names is kept on this machine and is "
                            "never sent; it is deleted with the report."));
    }
    if (fileName.endsWith(ReportNames::ProtectedSuffix)) {
        marks.prepend(tr("protected with a password"));
        icon = &protectedIcon;
    }
    // Most rows have no mark: a row that had none and gets none is left alone.
    if (icon != &noIcon || name->data(Qt::DecorationRole).isValid())
        name->setIcon(*icon);
    if (!marks.isEmpty() || !name->toolTip().isEmpty())
        name->setToolTip(marks.isEmpty() ? QString() : path + QLatin1Char('\n') + marks.join('\n'));
}
