// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstabledetails.h"

#include "helperprotocol.h"

#include <QDateTime>
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
    : table(table), emptyText(new QLabel(tr("No reports yet. Press Generate report.")))
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
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem *name = table->item(row, NameColumn);
        const QString report = name->text();
        const QFileInfo info(report);
        table->item(row, CreatedColumn)
            ->setData(ReportTableItem::SortKeyRole, info.birthTime().toMSecsSinceEpoch());
        qint64 size = info.size();
        for (const QString &volume : volumeParts.values(report))
            size += QFileInfo(volume).size();
        QTableWidgetItem *sizeItem = table->item(row, SizeColumn);
        if (!sizeItem) {
            sizeItem = table->itemPrototype()->clone();
            sizeItem->setFlags(Qt::NoItemFlags);
            sizeItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, SizeColumn, sizeItem);
        }
        sizeItem->setText(locale.formattedDataSize(size));
        sizeItem->setData(ReportTableItem::SortKeyRole, size);
        markRow(name);
    }
    table->resizeColumnToContents(SizeColumn);
    emptyText->setVisible(table->rowCount() == 0);
}

void ReportsTableDetails::markRow(QTableWidgetItem *name)
{
    const QString fileName = QFileInfo(name->text()).fileName();
    QStringList marks;
    QIcon icon;
    if (fileName.contains(ObfuscatedMark)) {
        marks.append(tr("obfuscated: host names, addresses and user names hidden"));
        icon = QIcon::fromTheme(QStringLiteral("view-private"));
    }
    if (fileName.endsWith(HelperProtocol::ProtectedSuffix)) {
        marks.prepend(tr("protected with a password"));
        icon = QIcon::fromTheme(QStringLiteral("object-locked"));
    }
    name->setIcon(icon);
    name->setToolTip(marks.isEmpty() ? QString()
                                     : name->text() + QLatin1Char('\n') + marks.join('\n'));
}
