// SPDX-License-Identifier: GPL-2.0-or-later
// Asks for an archive's password twice, so that one typo cannot make the archive unrecoverable;
// the password can be shown while it is typed. OK is offered only for two equal, non-empty
// entries.
#pragma once

#include <QDialog>

namespace Ui {
class PasswordDialog;
}

class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget *parent = nullptr);
    ~PasswordDialog() override;

    QString password() const;

private:
    void checkEntries();
    void showPassword(bool shown);

    Ui::PasswordDialog *ui;
};
