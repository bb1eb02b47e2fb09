// SPDX-License-Identifier: GPL-2.0-or-later
#include "changeswidget.h"

#include "ui_changeswidget.h"

#include <QAction>

ChangesWidget::ChangesWidget(QWidget *parent) : QWidget(parent), ui(new Ui::ChangesWidget)
{
    ui->setupUi(this);
    // A window of its own that only shows: Escape closes it, as it would a dialog.
    auto *closeAction = new QAction(this);
    closeAction->setShortcut(QKeySequence::Cancel);
    addAction(closeAction);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
}

ChangesWidget::~ChangesWidget()
{
    delete ui;
}

void ChangesWidget::setModuleName(const QString &name)
{
    ui->nameLbl->setText(QLatin1Char('"') + name + QLatin1Char('"'));
}

void ChangesWidget::setDebugCommands(const QStringList &commands)
{
    ui->commandsLW->clear();
    ui->commandsLW->addItems(commands);
}

void ChangesWidget::setRollbackCommands(const QStringList &commands)
{
    ui->rollbackCommandsLW->clear();
    ui->rollbackCommandsLW->addItems(commands);
}

void ChangesWidget::setFileChanges(const QList<FileChange> &changes)
{
    ui->changesTW->clearContents();
    ui->changesTW->setRowCount(changes.size());
    for (int row = 0; row < changes.size(); ++row) {
        const FileChange &change = changes.at(row);
        ui->changesTW->setItem(row, 0, new QTableWidgetItem(change.filename));
        ui->changesTW->setItem(row, 1, new QTableWidgetItem(change.oldtext));
        ui->changesTW->setItem(row, 2, new QTableWidgetItem(change.newtext));
    }
    ui->changesTW->resizeColumnsToContents();
}
