// SPDX-License-Identifier: GPL-2.0-or-later
// Draws the module list's rows: a row with a text of its own for screen readers (a service that
// is not installed, say) shows that text, greyed, while the row's data stays the module's name.
#pragma once

#include <QStyledItemDelegate>

class ModuleRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
