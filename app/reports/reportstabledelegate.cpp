// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportstabledelegate.h"

#include "reportstabledecorator.h"

#include <QAbstractItemView>
#include <QDir>
#include <QHelpEvent>
#include <QToolTip>

namespace {

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

void ReportsTableDelegate::initStyleOption(QStyleOptionViewItem *option,
                                           const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == ReportsTableDecorator::NameColumn) {
        option->text = fileName(option->text);
        // The host name and the date at the start and the suffix at the end tell reports apart.
        option->textElideMode = Qt::ElideMiddle;
        return;
    }
    if (!option->widget || !option->widget->isEnabled())
        return;
    option->state |= QStyle::State_Enabled;
    option->palette.setCurrentColorGroup(option->widget->isActiveWindow() ? QPalette::Active
                                                                          : QPalette::Inactive);
    const auto *view = qobject_cast<const QAbstractItemView *>(option->widget);
    const QModelIndex name = index.sibling(index.row(), ReportsTableDecorator::NameColumn);
    if (view && view->selectionModel() && view->selectionModel()->isSelected(name))
        option->state |= QStyle::State_Selected;
}

// A row marked protected or obfuscated has a tooltip of its own, which names the whole path too.
bool ReportsTableDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                     const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && index.column() == ReportsTableDecorator::NameColumn &&
        index.data(Qt::ToolTipRole).toString().isEmpty()) {
        QToolTip::showText(event->globalPos(),
                           QDir::toNativeSeparators(index.data(Qt::DisplayRole).toString()), view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
