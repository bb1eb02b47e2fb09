// SPDX-License-Identifier: GPL-2.0-or-later
#include "customlistwidget.h"

#include <QKeyEvent>
#include <QMenu>

CustomListWidget::CustomListWidget(QWidget *parent)
    : QListWidget(parent), menu(new QMenu(QString(), this)),
      deleteAction(menu->addAction(tr("Delete selected record")))
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CustomListWidget::showContextMenu);
    // Shown in the menu; the key itself is handled in keyPressEvent.
    deleteAction->setShortcut(QKeySequence::Delete);
    connect(deleteAction, &QAction::triggered, this, &CustomListWidget::deleteCurrentRecord);
}

void CustomListWidget::setEmptyText(const QString &text)
{
    emptyText = text;
    if (emptyTextShown && count() > 0)
        item(0)->setText(emptyText);
}

void CustomListWidget::showEmptyText()
{
    if (emptyTextShown)
        return;
    auto *placeholder = new QListWidgetItem(emptyText);
    placeholder->setFlags(Qt::NoItemFlags);
    insertItem(0, placeholder);
    emptyTextShown = true;
}

void CustomListWidget::hideEmptyText()
{
    if (!emptyTextShown)
        return;
    if (count() > 0)
        delete takeItem(0);
    emptyTextShown = false;
}

void CustomListWidget::setMenuAllowed(bool allowed)
{
    menuAllowed = allowed;
}

void CustomListWidget::deleteCurrentRecord()
{
    QListWidgetItem *current = item(currentRow());
    // The placeholder is no record, whatever made it current.
    if (!current || (emptyTextShown && currentRow() == 0))
        return;
    // The row must be gone before the signal, so that receivers see the new count.
    takeItem(currentRow());
    const QString text = current->text();
    delete current;
    emit itemDeleted(text);
}

// The Delete key removes the selected record where the menu may.
void CustomListWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Delete) && menuAllowed) {
        deleteCurrentRecord();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void CustomListWidget::showContextMenu(const QPoint &position)
{
    if (!menuAllowed)
        return;
    const int placeholderRows = emptyTextShown ? 1 : 0;
    deleteAction->setEnabled(count() != placeholderRows);
    menu->exec(mapToGlobal(position));
}
