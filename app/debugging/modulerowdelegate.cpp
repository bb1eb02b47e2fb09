// SPDX-License-Identifier: GPL-2.0-or-later
#include "modulerowdelegate.h"

void ModuleRowDelegate::initStyleOption(QStyleOptionViewItem *option,
                                        const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QString text = index.data(Qt::AccessibleTextRole).toString();
    if (text.isEmpty())
        return;
    option->text = text;
    // The style draws the text of a disabled row in the palette's greyed colour.
    option->state &= ~QStyle::State_Enabled;
}
