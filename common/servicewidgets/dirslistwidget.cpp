// SPDX-License-Identifier: GPL-2.0-or-later
#include "dirslistwidget.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

DirsListWidget::DirsListWidget(QWidget *parent)
    : QListWidget(parent), menu(new QMenu(this)), deleteAction(new QAction(this)),
      editAction(new QAction(this)), addAction(new QAction(this))
{
    editAction->setText(tr("Edit this record"));
    addAction->setText(tr("Add record"));
    deleteAction->setText(tr("Delete this record"));
    menu->addAction(editAction);
    menu->addAction(addAction);
    menu->addAction(deleteAction);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &DirsListWidget::showContextMenu);
    connect(editAction, &QAction::triggered, this, &DirsListWidget::editCurrentRecord);
    connect(addAction, &QAction::triggered, this, &DirsListWidget::createNewRecord);
    connect(deleteAction, &QAction::triggered, this, &DirsListWidget::deleteCurrentRecord);
}

void DirsListWidget::createNewRecord()
{
    const QString dir = QFileDialog::getExistingDirectory(this, selectDirTitle, QDir::homePath(),
                                                          QFileDialog::ShowDirsOnly |
                                                              QFileDialog::DontResolveSymlinks);
    // The folder may have vanished while the chooser was open.
    if (dir.isEmpty() || !QFileInfo::exists(dir))
        return;
    auto *record = new QListWidgetItem(dir);
    record->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
    addItem(record);
    setCurrentItem(record);
    emit itemAdded();
}

void DirsListWidget::deleteCurrentRecord()
{
    if (!currentItem())
        return;
    delete takeItem(currentRow());
    emit itemDeleted();
}

void DirsListWidget::editCurrentRecord()
{
    if (currentItem())
        editItem(currentItem());
}

void DirsListWidget::setSelectDirTitle(const QString &title)
{
    selectDirTitle = title;
}

void DirsListWidget::showContextMenu(const QPoint &position)
{
    deleteAction->setEnabled(count() > 0);
    menu->exec(mapToGlobal(position));
}
