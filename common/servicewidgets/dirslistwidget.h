// SPDX-License-Identifier: GPL-2.0-or-later
// A list of folders that the user adds through a folder chooser, edits in place and removes,
// each through its context menu.
#pragma once

#include <QListWidget>

class QAction;
class QMenu;

class DirsListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit DirsListWidget(QWidget *parent = nullptr);

signals:
    void itemAdded();
    void itemDeleted();

public slots:
    void createNewRecord();
    void deleteCurrentRecord();
    void editCurrentRecord();
    void setSelectDirTitle(const QString &title);

private:
    void showContextMenu(const QPoint &position);

    QMenu *menu;
    QAction *deleteAction;
    QAction *editAction;
    QAction *addAction;
    QString selectDirTitle;
};
