// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploaddialog.h"

#include "ui_uploaddialog.h"
#include "uploadtarget.h"

#include <QFileDialog>
#include <QPushButton>

UploadDialog::UploadDialog(const QStringList &fileNames,
                           const std::function<QString(QString)> &remoteName, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::UploadDialog>()), fileNames(fileNames),
      remoteName(remoteName)
{
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("&Upload"));
    ui->reportLbl->setText(
        tr("Upload %1 to a support server.").arg(fileNames.join(QStringLiteral(", "))));
    const UploadSettings stored = UploadSettings::load();
    ui->serverLE->setText(stored.server);
    ui->userLE->setText(stored.user);
    ui->caFileLE->setText(stored.caFile);

    connect(ui->serverLE, &QLineEdit::textChanged, this, &UploadDialog::showDestination);
    connect(ui->caFilePBtn, &QPushButton::clicked, this, &UploadDialog::chooseCaFile);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    showDestination();
    // The password is what is missing most of the time.
    if (!stored.server.isEmpty() && !stored.user.isEmpty())
        ui->passwordLE->setFocus();
}

UploadDialog::~UploadDialog() = default;

UploadSettings UploadDialog::settings() const
{
    return {ui->serverLE->text().trimmed(), ui->userLE->text().trimmed(),
            ui->caFileLE->text().trimmed()};
}

QString UploadDialog::password() const
{
    return ui->passwordLE->text();
}

void UploadDialog::showDestination()
{
    const UploadTarget target = UploadTarget::fromServer(ui->serverLE->text());
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(target.isValid());
    if (!target.isValid()) {
        ui->destinationLbl->setText(
            tr("Enter the address of the server's folder, beginning with https://, sftp://, "
               "ftp:// or ftps://."));
        return;
    }
    QStringList destinations;
    for (const QString &name : fileNames)
        destinations.append(target.destination(remoteName(name)).toDisplayString());
    ui->destinationLbl->setText(
        tr("The report will be stored as:\n%1").arg(destinations.join(QLatin1Char('\n'))));
}

void UploadDialog::chooseCaFile()
{
    const QString file =
        QFileDialog::getOpenFileName(this, tr("Extra CA file"), ui->caFileLE->text(),
                                     tr("Certificates (*.pem *.crt *.cer);;All files (*)"));
    if (!file.isEmpty())
        ui->caFileLE->setText(file);
}
