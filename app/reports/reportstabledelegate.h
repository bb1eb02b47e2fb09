// SPDX-License-Identifier: GPL-2.0-or-later
// How the reports table draws its cells. A row holds the report's whole path, which is the
// report's identity, but the folder is the same on most rows and would push the part that tells
// reports apart out of sight: the name column shows the file name (shortened in the middle where
// it must be) and tells the folder in its tooltip. The date and size cells cannot be selected,
// yet they are read as much as the name: they are drawn in the normal text colour and highlighted
// with their row.
#pragma once

#include <QStyledItemDelegate>

class ReportsTableDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // What a cell is drawn with; public, so that what a cell shows can be asked.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
