// SPDX-License-Identifier: GPL-2.0-or-later
#include "collectprogressdialog.h"

#include "collection.h"
#include "ui_collectprogressdialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QTimer>

CollectProgressDialog::CollectProgressDialog(Collection &collection, QWidget *parent)
    : QDialog(parent), ui(new Ui::CollectProgressDialog), collection(collection),
      clock(new QTimer(this)), rowsTimer(new QTimer(this))
{
    ui->setupUi(this);
    // Only the short columns are measured; the last lines take the rest, as a line arrives.
    QHeaderView *header = ui->nodesTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(LastLinesColumn, QHeaderView::Stretch);
    // Wide enough for any time, so that its ticks never lay the dialog out again.
    ui->elapsedLbl->setMinimumWidth(ui->elapsedLbl->fontMetrics().horizontalAdvance(
        elapsedText(MaxShownSeconds) + QStringLiteral("  ")));
    clock->setInterval(1000);
    // A burst of output changes a row many times: it is shown once per pass of the event loop.
    rowsTimer->setSingleShot(true);
    rowsTimer->setInterval(0);

    connect(clock, &QTimer::timeout, this, &CollectProgressDialog::showElapsed);
    connect(rowsTimer, &QTimer::timeout, this, &CollectProgressDialog::showChangedRows);
    connect(&collection, &Collection::nodeChanged, this, [this](int index) {
        changedRows.insert(index);
        rowsTimer->start();
    });
    connect(&collection, &Collection::finished, this, &CollectProgressDialog::showEnd);
    connect(ui->stopButton, &QPushButton::clicked, this, &CollectProgressDialog::askStop);
    connect(ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
}

CollectProgressDialog::~CollectProgressDialog()
{
    delete ui;
}

void CollectProgressDialog::follow()
{
    const QVector<CollectOutput::Node> &nodes = collection.output()->nodes();
    rowsTimer->stop();
    changedRows.clear();
    ui->nodesTable->setRowCount(nodes.size());
    for (int i = 0; i < nodes.size(); ++i) {
        for (int column = 0; column < ui->nodesTable->columnCount(); ++column)
            ui->nodesTable->setItem(i, column, new QTableWidgetItem);
        showNode(i);
    }
    ui->stopButton->setEnabled(true);
    ui->stopButton->show();
    ui->closeButton->hide();
    showElapsed();
    clock->start();
    show();
    raise();
}

QString CollectProgressDialog::failureText(CollectOutput::Failure failure)
{
    switch (failure) {
    case CollectOutput::Failure::Unreachable:
        return tr("unreachable");
    case CollectOutput::Failure::AuthenticationRefused:
        return tr("authentication refused");
    case CollectOutput::Failure::SosMissing:
        return tr("sos is not installed there");
    case CollectOutput::Failure::Timeout:
        return tr("timed out");
    case CollectOutput::Failure::Other:
        return tr("the report failed");
    case CollectOutput::Failure::None:
        break;
    }
    return {};
}

QString CollectProgressDialog::stateText(const CollectOutput::Node &node)
{
    switch (node.state) {
    case CollectOutput::State::Waiting:
        return tr("Waiting");
    case CollectOutput::State::Connecting:
        return tr("Connecting");
    case CollectOutput::State::Collecting:
        return tr("Collecting");
    case CollectOutput::State::Copying:
        return tr("Copying");
    case CollectOutput::State::Done:
        return tr("Done");
    case CollectOutput::State::Failed:
        return tr("Failed: %1").arg(failureText(node.failure));
    }
    return {};
}

void CollectProgressDialog::showNode(int index)
{
    const CollectOutput::Node &node = collection.output()->nodes().at(index);
    const bool named = !node.hostName.isEmpty() && node.hostName != node.name;
    ui->nodesTable->item(index, 0)->setText(
        named ? QStringLiteral("%1 (%2)").arg(node.name, node.hostName) : node.name);
    ui->nodesTable->item(index, 1)->setText(stateText(node));
    QTableWidgetItem *lastLines = ui->nodesTable->item(index, LastLinesColumn);
    lastLines->setText(node.lastLines.isEmpty() ? QString() : node.lastLines.last());
    lastLines->setToolTip(node.lastLines.join(QLatin1Char('\n')));
}

void CollectProgressDialog::showChangedRows()
{
    for (const int index : qAsConst(changedRows))
        showNode(index);
    changedRows.clear();
}

QString CollectProgressDialog::elapsedText(qint64 seconds)
{
    return tr("Elapsed time: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void CollectProgressDialog::showElapsed()
{
    ui->elapsedLbl->setText(elapsedText(collection.elapsedSeconds()));
}

void CollectProgressDialog::showEnd()
{
    clock->stop();
    showChangedRows();
    showElapsed();
    ui->stopButton->hide();
    ui->closeButton->show();
}

// The window, its parent, is locked while this machine's own report runs; the collection's
// dialog stays usable meanwhile (a window enabled by itself stays so).
void CollectProgressDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        !testAttribute(Qt::WA_ForceDisabled))
        QTimer::singleShot(0, this, [this] { setEnabled(true); });
}

void CollectProgressDialog::askStop()
{
    if (QMessageBox::question(this, tr("Stop the collection"),
                              tr("Stop collecting? The reports made so far are thrown away.")) ==
            QMessageBox::Yes &&
        collection.isRunning()) {
        ui->stopButton->setEnabled(false);
        collection.stop();
    }
}
