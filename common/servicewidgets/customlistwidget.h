// SPDX-License-Identifier: GPL-2.0-or-later
// A list of names that the user can only remove, through its context menu. While it holds no real
// entry it can show a greyed placeholder line in row 0, and its owner can switch the menu off to
// forbid deleting.
#pragma once

#include <QListWidget>

class QAction;
class QMenu;

class CustomListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit CustomListWidget(QWidget *parent = nullptr);

    void setEmptyText(const QString &text);
    void showEmptyText();
    void hideEmptyText();
    void setMenuAllowed(bool allowed);

signals:
    void itemDeleted(QString realServName);

public slots:
    void deleteCurrentRecord();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showContextMenu(const QPoint &position);

    QMenu *menu;
    QAction *deleteAction;
    bool menuAllowed = true;
    bool emptyTextShown = false;
    QString emptyText;
};
