// SPDX-License-Identifier: GPL-2.0-or-later
// The actions on one row of the reports table, offered by its context menu and by keys: show the
// report in the file manager, copy its path, and delete it with all its files after a
// confirmation that lists them.
#pragma once

#include <QMultiMap>
#include <QObject>

class Backstage;
class QAction;
class QTableWidget;

class ReportActions : public QObject
{
    Q_OBJECT

public:
    // volumeParts is the window's volume map, read at the moment of each action.
    ReportActions(QTableWidget *table, Backstage *backstage,
                  const QMultiMap<QString, QString> &volumeParts);

    QAction *openFolderAction() const { return openFolder; }
    QAction *copyPathAction() const { return copyPath; }
    QAction *deleteAction() const { return remove; }

    // Ways of handing the report over, offered first in the row's menu.
    void addDeliveryActions(const QList<QAction *> &actions) { delivery += actions; }

    // The path of the current row's report, empty when no row is current and selected.
    QString currentReport() const;
    // Shows the report in the file manager, or opens its folder.
    void showInFolder(const QString &report);

signals:
    // Files of a report were removed (some of them at least): the table is out of date.
    void reportsDeleted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // position: in the table's viewport.
    void showMenu(const QPoint &position);
    void showMenuAtCurrentRow();
    void openContainingFolder();
    // Without the desktop's file manager: whatever opens folders, or a box with the path.
    void openFolderElsewhere(const QString &folder);
    void copyCurrentPath();
    void deleteCurrentReport();
    void updateActions();

    QTableWidget *table;
    Backstage *backstage;
    const QMultiMap<QString, QString> &volumeParts;
    QAction *openFolder;
    QAction *copyPath;
    QAction *remove;
    QList<QAction *> delivery;
};
