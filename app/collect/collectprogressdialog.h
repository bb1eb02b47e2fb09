// SPDX-License-Identifier: GPL-2.0-or-later
// Follows a collection from several machines: one row per machine with its state and its last
// lines, the elapsed time, and Stop. At the end Stop gives way to Close and the window says how
// it ended; closing the dialog while the collection runs only hides it.
#pragma once

#include "collectoutput.h"

#include <QDialog>
#include <QSet>

class Collection;
class QTimer;

namespace Ui {
class CollectProgressDialog;
}

class CollectProgressDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CollectProgressDialog(Collection &collection, QWidget *parent = nullptr);
    ~CollectProgressDialog() override;

    // Starts following a new run of the collection.
    void follow();
    // What the failure of a node is called; empty for none.
    static QString failureText(CollectOutput::Failure failure);
    static QString stateText(const CollectOutput::Node &node);

protected:
    void changeEvent(QEvent *event) override;

private:
    static constexpr int LastLinesColumn = 2;
    // The longest time the elapsed label makes room for: ten hours.
    static constexpr qint64 MaxShownSeconds = 599 * 60 + 59;

    void showNode(int index);
    void showChangedRows();
    static QString elapsedText(qint64 seconds);
    void showElapsed();
    void showEnd();
    void askStop();

    Ui::CollectProgressDialog *ui;
    Collection &collection;
    QTimer *clock;
    QTimer *rowsTimer;
    QSet<int> changedRows;
};
