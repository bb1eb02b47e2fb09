// SPDX-License-Identifier: GPL-2.0-or-later
#include "reproducepanel.h"

#include "ui_reproducepanel.h"
#include "windowplacement.h"

#include <QCloseEvent>

ReproducePanel::ReproducePanel(QWidget *parent)
    : QWidget(parent, Qt::Tool), ui(new Ui::ReproducePanel)
{
    ui->setupUi(this);
    ui->noteLbl->hide();
    elapsedTimer.setInterval(1000);

    connect(&elapsedTimer, &QTimer::timeout, this, &ReproducePanel::showElapsed);
    connect(ui->collectPb, &QPushButton::clicked, this, &ReproducePanel::collectClicked);
    connect(ui->cancelPb, &QPushButton::clicked, this, &ReproducePanel::cancelClicked);
    connect(ui->protectPb, &QPushButton::clicked, this, &ReproducePanel::protectClicked);
    connect(ui->sendPb, &QPushButton::clicked, this, &ReproducePanel::sendClicked);
    connect(ui->closePb, &QPushButton::clicked, this, &ReproducePanel::closeClicked);
}

ReproducePanel::~ReproducePanel()
{
    delete ui;
}

void ReproducePanel::showWaiting(const QString &message, const QDateTime &since,
                                 const QString &collectText, const QString &cancelText)
{
    this->since = since;
    ui->collectPb->setText(collectText);
    ui->cancelPb->setText(cancelText);
    showButtons(true, true, false, false);
    showElapsed();
    ui->elapsedLbl->show();
    elapsedTimer.start();
    present(message);
}

void ReproducePanel::showBusy(const QString &message)
{
    showButtons(false, false, false, false);
    present(message);
}

void ReproducePanel::showEnded(const QString &message, bool withReport, bool protectable,
                               const QString &retryText)
{
    elapsedTimer.stop();
    ui->elapsedLbl->hide();
    ui->cancelPb->setText(retryText);
    showButtons(false, !retryText.isEmpty(), withReport, true);
    ui->protectPb->setEnabled(protectable);
    present(message);
}

void ReproducePanel::setNote(const QString &note)
{
    ui->noteLbl->setText(note);
    ui->noteLbl->setVisible(!note.isEmpty());
}

void ReproducePanel::closeEvent(QCloseEvent *event)
{
    event->ignore();
    emit closeClicked();
}

void ReproducePanel::showButtons(bool collect, bool cancel, bool report, bool close)
{
    ui->collectPb->setVisible(collect);
    ui->cancelPb->setVisible(cancel);
    ui->protectPb->setVisible(report);
    ui->sendPb->setVisible(report);
    ui->closePb->setVisible(close);
}

void ReproducePanel::showElapsed()
{
    const qint64 seconds = qMax<qint64>(0, since.secsTo(QDateTime::currentDateTime()));
    ui->elapsedLbl->setText(tr("Elapsed time: %1")
                                .arg(QStringLiteral("%1:%2:%3")
                                         .arg(seconds / 3600)
                                         .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                         .arg(seconds % 60, 2, 10, QLatin1Char('0'))));
}

void ReproducePanel::present(const QString &message)
{
    ui->messageLbl->setText(message);
    // Each time it opens, beside the window it belongs to; once open, where the user put it.
    if (!isVisible())
        WindowPlacement::placeBeside(this, parentWidget());
    show();
    raise();
}
