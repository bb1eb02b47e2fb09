// SPDX-License-Identifier: GPL-2.0-or-later
#include "passworddialog.h"

#include "ui_passworddialog.h"

#include <QPushButton>

PasswordDialog::PasswordDialog(QWidget *parent) : QDialog(parent), ui(new Ui::PasswordDialog)
{
    ui->setupUi(this);

    connect(ui->passwordLE, &QLineEdit::textChanged, this, &PasswordDialog::checkEntries);
    connect(ui->confirmLE, &QLineEdit::textChanged, this, &PasswordDialog::checkEntries);
    connect(ui->showPasswordChB, &QCheckBox::toggled, this, &PasswordDialog::showPassword);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    checkEntries();
}

PasswordDialog::~PasswordDialog()
{
    delete ui;
}

QString PasswordDialog::password() const
{
    return ui->passwordLE->text();
}

void PasswordDialog::checkEntries()
{
    const QString password = ui->passwordLE->text();
    const QString confirmation = ui->confirmLE->text();
    const bool same = password == confirmation;
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!password.isEmpty() && same);
    // Said only once the second entry is as long as the first: not while it is being typed.
    ui->mismatchLbl->setVisible(!same && confirmation.size() >= password.size());
}

void PasswordDialog::showPassword(bool shown)
{
    const QLineEdit::EchoMode mode = shown ? QLineEdit::Normal : QLineEdit::Password;
    ui->passwordLE->setEchoMode(mode);
    ui->confirmLE->setEchoMode(mode);
}
