// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstabledecorator.h"

#include "reportfiletimes.h"
#include "reportnames.h"
#include "reportstabledelegate.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
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
}

void ReportsTableDecorator::apply(const QMultiMap<QString, QString> &volumeParts)
{
    const QLocale locale;
    // Size texts differ little in width: the longest one is measured alone, not every row.
    int longestRow = -1;
    int longest = 0;
    // Only volumes are read here: the fill has read every row's own file already.
    FileTimesReader reader;
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem *name = table->item(row, NameColumn);
        const QString report = name->text();
        qint64 size = name->data(ReportTableItem::SizeRole).toLongLong();
        const auto volumes = volumeParts.equal_range(report);
        for (auto volume = volumes.first; volume != volumes.second; ++volume)
            size += reader.read(*volume).size;
        const QString sizeText = locale.formattedDataSize(size);
        setSizeItem(row, sizeText, size);
        if (sizeText.size() > longest) {
            longest = sizeText.size();
            longestRow = row;
        }
        markRow(name);
    }
    const int content =
        longestRow < 0
            ? 0
            : table->sizeHintForIndex(table->model()->index(longestRow, SizeColumn)).width() +
                  (table->showGrid() ? 1 : 0);
    table->horizontalHeader()->resizeSection(
        SizeColumn, qMax(content, table->horizontalHeader()->sectionSizeHint(SizeColumn)));
    emptyText->setVisible(table->rowCount() == 0);
}

// A new item is filled before it goes into the table, where every change is announced to the
// view.
void ReportsTableDecorator::setSizeItem(int row, const QString &text, qint64 size)
{
    QTableWidgetItem *item = table->item(row, SizeColumn);
    const bool isNew = !item;
    if (isNew) {
        item = table->itemPrototype()->clone();
        item->setFlags(Qt::NoItemFlags);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    item->setText(text);
    item->setData(ReportTableItem::SortKeyRole, size);
    if (isNew)
        table->setItem(row, SizeColumn, item);
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
