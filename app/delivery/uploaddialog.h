// SPDX-License-Identifier: GPL-2.0-or-later
// Asks where a report goes before it is uploaded: the server (the user's last choice, or the
// administrator's default), the user name, an extra CA file for a company server, and the
// password, which is asked every time and never kept. It shows the address the report will have
// on the server and offers Upload only for an address it can reach.
#pragma once

#include "uploadsettings.h"

#include <QDialog>
#include <memory>

namespace Ui {
class UploadDialog;
}

class UploadDialog : public QDialog
{
    Q_OBJECT

public:
    // fileNames are the report's files; remoteName makes each one's name on the server.
    UploadDialog(const QStringList &fileNames, const std::function<QString(QString)> &remoteName,
                 QWidget *parent = nullptr);
    ~UploadDialog() override;

    UploadSettings settings() const;
    QString password() const;

private:
    void showDestination();
    void chooseCaFile();

    std::unique_ptr<Ui::UploadDialog> ui;
    QStringList fileNames;
    std::function<QString(QString)> remoteName;
};
