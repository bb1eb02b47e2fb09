// SPDX-License-Identifier: GPL-2.0-or-later
// Holds back the refills of the reports table that the user did not ask for while its rows must
// stay where they are: while the pointer is over the table, so that a click lands on the row it
// was aimed at, and while a menu or a dialog is open, whose action is about a row. While the
// window is locked for a report run nobody can use the table, and the run's end refills it
// anyway: refills would only take frames from the progress shown. The refill follows as soon as
// the table is free again.
#pragma once

#include <QObject>
#include <QTimer>

class QTableWidget;

class ReportsTableHold : public QObject
{
    Q_OBJECT

public:
    explicit ReportsTableHold(QTableWidget *table);

    // due() follows now, or once the table is free.
    void request();
    // The table was just filled from the folders: a refill asked for before is not needed.
    void drop();

signals:
    void due();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inUse() const;
    void tryNow();

    QTableWidget *table;
    bool pending = false;
    // Menus and dialogs close without telling the table: it is looked at again now and then.
    QTimer retry;
};
