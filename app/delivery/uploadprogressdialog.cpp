// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadprogressdialog.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace {

// The bar counts in thousandths: byte counts do not fit its int.
const int BarSteps = 1000;

QString timeLeft(qint64 seconds)
{
    if (seconds < 60)
        return UploadProgressDialog::tr("time left: %1 s").arg(seconds);
    if (seconds < 3600)
        return UploadProgressDialog::tr("time left: %1 min").arg((seconds + 59) / 60);
    return UploadProgressDialog::tr("time left: %1 h").arg((seconds + 3599) / 3600);
}

} // namespace

UploadProgressDialog::UploadProgressDialog(QWidget *window)
    : QProgressDialog(window, Qt::WindowFlags())
{
    setWindowTitle(tr("Uploading Report"));
    // The window stays usable while the report is on its way.
    setWindowModality(Qt::NonModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setRange(0, BarSteps);
    auto *stopButton = new QPushButton(tr("&Stop"));
    setCancelButton(stopButton);
    label = new QLabel;
    setLabel(label);
    // Escape stops too: a hidden dialog would leave the upload without a way to stop it.
    connect(this, &QProgressDialog::canceled, this, &UploadProgressDialog::stop);
}

void UploadProgressDialog::begin(const QString &file, const QString &destination, qint64 done,
                                 qint64 total)
{
    heading = tr("Uploading %1\nto %2").arg(file, destination);
    doneBefore = done;
    totalBytes = total;
    stopping = false;
    // A dialog stopped before is shown afresh.
    reset();
    reserveRoom();
    showProgress(0, 0);
    show();
}

// The numbers change a few times a second: room for the widest of them is made once, so that
// they never resize the dialog and lay it out anew.
void UploadProgressDialog::reserveRoom()
{
    const QLocale locale;
    const QString widest = locale.formattedDataSize(Q_INT64_C(999) << 30);
    const QString numbers = tr("%1 of %2").arg(widest, widest) + QStringLiteral(", ") +
                            tr("%1/s").arg(widest) + QStringLiteral(", ") + timeLeft(59 * 60);
    label->setMinimumSize(0, 0);
    // Grows the dialog to hold it.
    setLabelText(heading + QStringLiteral("\n\n") + numbers);
    label->setMinimumSize(label->sizeHint());
}

void UploadProgressDialog::showProgress(qint64 sent, double bytesPerSecond)
{
    if (stopping)
        return;
    const qint64 done = doneBefore + sent;
    setValue(totalBytes > 0 ? int(done * BarSteps / totalBytes) : 0);
    const QLocale locale;
    QString text =
        tr("%1 of %2").arg(locale.formattedDataSize(done), locale.formattedDataSize(totalBytes));
    if (bytesPerSecond > 0)
        text += QStringLiteral(", ") +
                tr("%1/s").arg(locale.formattedDataSize(qint64(bytesPerSecond))) +
                QStringLiteral(", ") + timeLeft(qint64((totalBytes - done) / bytesPerSecond));
    label->setText(heading + QStringLiteral("\n\n") + text);
}

void UploadProgressDialog::stop()
{
    stopping = true;
    label->setText(heading + QStringLiteral("\n\n") + tr("Stopping..."));
    // Cancelling hid the dialog; it stays until the transfer has really ended.
    show();
    emit stopRequested();
}
