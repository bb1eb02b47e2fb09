// SPDX-License-Identifier: GPL-2.0-or-later
#include "choosedirsdialog.h"

#include "constants.h"
#include "themedicon.h"
#include "ui_choosedirsdialog.h"

ChooseDirsDialog::ChooseDirsDialog(QWidget *parent) : QDialog(parent), ui(new Ui::ChooseDirsDialog)
{
    Q_INIT_RESOURCE(servicewidgets);
    ui->setupUi(this);

    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->dirsListWidget, &DirsListWidget::itemAdded, this, &ChooseDirsDialog::updateButtons);
    connect(ui->dirsListWidget, &DirsListWidget::itemDeleted, this,
            &ChooseDirsDialog::updateButtons);
    connect(ui->plusBtn, &QPushButton::clicked, ui->dirsListWidget,
            &DirsListWidget::createNewRecord);
    connect(ui->minusBtn, &QPushButton::clicked, ui->dirsListWidget,
            &DirsListWidget::deleteCurrentRecord);
    connect(ui->settBtn, &QPushButton::clicked, ui->dirsListWidget,
            &DirsListWidget::editCurrentRecord);

    // Icon themes without these names still get a usable button.
    const QString add = QStringLiteral("list-add");
    const QString remove = QStringLiteral("list-remove");
    const QString tools = QStringLiteral("tools");
    ui->plusBtn->setIcon(ThemedIcon::get(add, add, palette()));
    ui->minusBtn->setIcon(ThemedIcon::get(remove, remove, palette()));
    ui->settBtn->setIcon(ThemedIcon::get(tools, tools, palette()));
    for (QPushButton *button : {ui->plusBtn, ui->minusBtn, ui->settBtn})
        button->setAccessibleName(button->toolTip());
}

ChooseDirsDialog::~ChooseDirsDialog()
{
    delete ui;
}

void ChooseDirsDialog::setDirs(const QStringList &dirs)
{
    ui->dirsListWidget->clear();
    for (const QString &dir : dirs) {
        // The main report folder is always searched, so it is never offered for editing.
        if (dir == Kro::MainReportDir)
            continue;
        auto *record = new QListWidgetItem(dir, ui->dirsListWidget);
        record->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
    }
    if (ui->dirsListWidget->count() > 0)
        ui->dirsListWidget->setCurrentRow(ui->dirsListWidget->count() - 1);
    updateButtons();
}

QStringList ChooseDirsDialog::dirs() const
{
    QStringList result;
    for (int row = 0; row < ui->dirsListWidget->count(); ++row)
        result.append(ui->dirsListWidget->item(row)->text());
    return result;
}

void ChooseDirsDialog::setChooserTitle(const QString &title)
{
    ui->dirsListWidget->setSelectDirTitle(title);
}

void ChooseDirsDialog::setListTitle(const QString &title)
{
    ui->mainGroupBox->setTitle(title);
    ui->dirsListWidget->setAccessibleName(title);
}

void ChooseDirsDialog::updateButtons()
{
    const bool hasRows = ui->dirsListWidget->count() > 0;
    ui->minusBtn->setEnabled(hasRows);
    ui->settBtn->setEnabled(hasRows);
}
