// SPDX-License-Identifier: GPL-2.0-or-later
// A small modal dialog that edits a copy of a folder list; its owner takes the result over when
// the user confirms.
#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class ChooseDirsDialog;
}

class ChooseDirsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChooseDirsDialog(QWidget *parent = nullptr);
    ~ChooseDirsDialog() override;

    void setDirs(const QStringList &dirs);
    QStringList dirs() const;
    void setChooserTitle(const QString &title);
    void setListTitle(const QString &title);

private:
    void updateButtons();

    Ui::ChooseDirsDialog *ui;
};
