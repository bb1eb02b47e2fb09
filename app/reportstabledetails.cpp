// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstabledetails.h"

#include "helperprotocol.h"
#include "reportfilefacts.h"

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

ReportsTableDetails::ReportsTableDetails(QTableWidget *table)
    : table(table), emptyText(new QLabel(tr("No reports yet. Press Generate report."))),
      protectedIcon(QIcon::fromTheme(QStringLiteral("object-locked"))),
      obfuscatedIcon(QIcon::fromTheme(QStringLiteral("view-private")))
{
    table->setItemPrototype(new ReportTableItem);
    emptyText->setObjectName(QStringLiteral("emptyReportsLbl"));
    emptyText->setAlignment(Qt::AlignCenter);
    emptyText->setWordWrap(true);
    auto *layout = new QVBoxLayout(table->viewport());
    layout->addWidget(emptyText);
}

void ReportsTableDetails::apply(const QMultiMap<QString, QString> &volumeParts)
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
        QTableWidgetItem *sizeItem = table->item(row, SizeColumn);
        if (!sizeItem) {
            sizeItem = table->itemPrototype()->clone();
            sizeItem->setFlags(Qt::NoItemFlags);
            sizeItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, SizeColumn, sizeItem);
        }
        sizeItem->setText(locale.formattedDataSize(size));
        if (sizeItem->text().size() > longest) {
            longest = sizeItem->text().size();
            longestRow = row;
        }
        sizeItem->setData(ReportTableItem::SortKeyRole, size);
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

void ReportsTableDetails::markRow(QTableWidgetItem *name)
{
    const QString fileName = QFileInfo(name->text()).fileName();
    QStringList marks;
    const QIcon *icon = &noIcon;
    if (fileName.contains(ObfuscatedMark)) {
        marks.append(tr("obfuscated: host names, addresses and user names hidden"));
        icon = &obfuscatedIcon;
    }
    if (fileName.endsWith(HelperProtocol::ProtectedSuffix)) {
        marks.prepend(tr("protected with a password"));
        icon = &protectedIcon;
    }
    name->setIcon(*icon);
    name->setToolTip(marks.isEmpty() ? QString()
                                     : name->text() + QLatin1Char('\n') + marks.join('\n'));
}
