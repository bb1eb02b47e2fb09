// SPDX-License-Identifier: GPL-2.0-or-later
#include "collectdialog.h"

#include "sosarguments.h"
#include "ui_collectdialog.h"

#include <QMenu>
#include <QPushButton>

CollectDialog::CollectDialog(const CollectChoices &choices, const QStringList &knownHosts,
                             const Accepts &accepts, QWidget *parent)
    : QDialog(parent), ui(new Ui::CollectDialog)
{
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("&Collect"));
    ui->hostsEdit->setPlainText(choices.hosts.join(QLatin1Char('\n')));
    ui->sshUserEdit->setText(choices.sshUser);
    ui->sshPasswordCheck->setChecked(choices.sshPassword);
    ui->sudoPasswordCheck->setChecked(choices.sudoPassword);
    ui->localCheck->setChecked(choices.includeThisMachine);
    ui->caseIdEdit->setText(choices.caseId);
    ui->labelEdit->setText(choices.label);
    ui->pluginsEdit->setText(choices.plugins.join(QLatin1Char(',')));
    ui->sinceSpin->setValue(choices.sinceHours);
    ui->obfuscateCheck->setChecked(choices.obfuscate);
    ui->timeoutSpin->setValue(choices.timeoutSeconds);
    auto *menu = new QMenu(ui->knownHostsButton);
    for (const QString &host : knownHosts)
        menu->addAction(host);
    ui->knownHostsButton->setMenu(menu);
    ui->knownHostsButton->setEnabled(!knownHosts.isEmpty());
    if (knownHosts.isEmpty())
        ui->knownHostsButton->setToolTip(tr("~/.ssh/config and ~/.ssh/known_hosts name no host."));
    disableLacking(accepts);

    connect(menu, &QMenu::triggered, this, [this](QAction *action) { addHost(action->text()); });
    connect(ui->hostsEdit, &QPlainTextEdit::textChanged, this, &CollectDialog::checkEntries);
    connect(ui->sshUserEdit, &QLineEdit::textChanged, this, &CollectDialog::checkEntries);
    connect(ui->pluginsEdit, &QLineEdit::textChanged, this, &CollectDialog::checkEntries);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    checkEntries();
}

CollectDialog::~CollectDialog()
{
    delete ui;
}

CollectChoices CollectDialog::choices() const
{
    CollectChoices choices;
    choices.hosts = CollectChoices::splitList(ui->hostsEdit->toPlainText());
    choices.sshUser = ui->sshUserEdit->text().trimmed();
    choices.sshPassword = ui->sshPasswordCheck->isChecked();
    choices.sudoPassword = ui->sudoPasswordCheck->isChecked();
    choices.includeThisMachine = ui->localCheck->isChecked();
    choices.caseId = ui->caseIdEdit->text().trimmed();
    choices.label = ui->labelEdit->text().trimmed();
    choices.plugins = CollectChoices::splitList(ui->pluginsEdit->text());
    choices.sinceHours = ui->sinceSpin->isEnabled() ? ui->sinceSpin->value() : 0;
    choices.obfuscate = ui->obfuscateCheck->isEnabled() && ui->obfuscateCheck->isChecked();
    choices.timeoutSeconds = ui->timeoutSpin->isEnabled() ? ui->timeoutSpin->value() : 0;
    return choices;
}

void CollectDialog::addHost(const QString &host)
{
    QStringList hosts = CollectChoices::splitList(ui->hostsEdit->toPlainText());
    if (!hosts.contains(host))
        hosts << host;
    ui->hostsEdit->setPlainText(hosts.join(QLatin1Char('\n')));
}

// OK only for hosts, a user and plugins that the collector can be given.
void CollectDialog::checkEntries()
{
    const CollectChoices chosen = choices();
    QStringList wrong;
    for (const QString &host : chosen.hosts)
        if (!SosArguments::isHostName(host))
            wrong << host;
    for (const QString &plugin : chosen.plugins)
        if (!SosArguments::isPluginName(plugin))
            wrong << plugin;
    QVariantMap user;
    if (!chosen.sshUser.isEmpty())
        user.insert(SosArguments::SshUser, chosen.sshUser);
    if (!SosArguments::collectRefusal(SosArguments::fromSettings(user)).isEmpty())
        wrong << chosen.sshUser;
    const bool root = chosen.sshUser.isEmpty() || chosen.sshUser == QLatin1String("root");
    ui->sudoPasswordCheck->setEnabled(!root && ui->sudoPasswordCheck->toolTip().isEmpty());
    ui->buttonBox->button(QDialogButtonBox::Ok)
        ->setEnabled(!chosen.hosts.isEmpty() && wrong.isEmpty());
    ui->hostsEdit->setToolTip(wrong.isEmpty() ? QString()
                                              : tr("Not usable: %1").arg(wrong.join(", ")));
}

void CollectDialog::disableLacking(const Accepts &accepts)
{
    const QString reason = tr("The installed sos does not offer this when collecting.");
    const QVector<QPair<QWidget *, QString>> needs{
        {ui->sshPasswordCheck, SosArguments::Password},
        {ui->caseIdEdit, SosArguments::CaseId},
        {ui->labelEdit, SosArguments::Label},
        {ui->pluginsEdit, SosArguments::OnlyPlugins},
        {ui->sinceSpin, SosArguments::Since},
        {ui->obfuscateCheck, SosArguments::Clean},
        {ui->timeoutSpin, SosArguments::Timeout},
    };
    QStringList lacking;
    for (const auto &need : needs) {
        if (accepts(need.second))
            continue;
        need.first->setEnabled(false);
        need.first->setToolTip(reason);
        lacking << need.second;
    }
    // Without --nopasswd-sudo the collector always sends a sudo password.
    if (!accepts(SosArguments::NoPasswordSudo)) {
        ui->sudoPasswordCheck->setChecked(true);
        ui->sudoPasswordCheck->setToolTip(reason);
        lacking << SosArguments::NoPasswordSudo;
    }
    if (!lacking.isEmpty())
        ui->noteLbl->setText(tr("The installed sos does not offer %1 when collecting.")
                                 .arg(lacking.join(QStringLiteral(", "))));
}
