// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the sosreport plugin listing and choosing plugins and profiles from it.
#include "extsettwidget.h"

#include "constants.h"
#include "pluginlisting.h"
#include "pluginpicker.h"
#include "ui_extsettwidget.h"

#include <QCompleter>
#include <QMessageBox>
#include <QStringListModel>

void ExtSettWidget::fillPluginsAndProfiles(const QString &output)
{
    pluginsListText = output;
    parsePluginsList();
    if (selectedProfiles.isEmpty()) {
        ui->profilesListWidget->setMenuAllowed(false);
        ui->profilesListWidget->setEmptyText(tr(noProfilesText));
        ui->profilesListWidget->showEmptyText();
    }
    if (selectedPlugins.isEmpty()) {
        ui->pluginsListWidget->setMenuAllowed(false);
        ui->pluginsListWidget->setEmptyText(tr(allActivePluginsText));
        ui->pluginsListWidget->showEmptyText();
    }
}

void ExtSettWidget::parsePluginsList()
{
    allPlugins = parsePluginNames();
    allPlugins.sort(Qt::CaseInsensitive);
    pluginPicker->setPlugins(allPlugins, PluginListing(pluginsListText).pluginDescriptions());
    showOffered(profileModel, profileCompleter, parseProfileNames(), ui->profileCB);
    allProfiles = profileModel->stringList();

    if (allPlugins.contains(Kro::PreselectedPlugin))
        ui->pluginCB->setCurrentText(Kro::PreselectedPlugin);
    ui->addPluginPB->setEnabled(ui->pluginCB->count() > 0);
    ui->addProfilePB->setEnabled(ui->profileCB->count() > 0);
}

QStringList ExtSettWidget::parsePluginNames()
{
    return PluginListing(pluginsListText).pluginNames(ui->showAllChB->isChecked(), &activePlugins);
}

QStringList ExtSettWidget::parseProfileNames() const
{
    return PluginListing(pluginsListText).profileNames();
}

void ExtSettWidget::showOffered(QStringListModel *&model, QCompleter *completer,
                                const QStringList &names, QComboBox *comboBox)
{
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    if (!model) {
        model = new QStringListModel(this);
        comboBox->setModel(model);
        completer->setModel(model);
    }
    model->setStringList(sorted);
}

void ExtSettWidget::addPluginToList(QString pluginName, bool force)
{
    if (!force && !allPlugins.contains(pluginName)) {
        refusePluginOrProfile(tr("Plugin \"%1\" not found."), pluginName);
        return;
    }
    if (selectedPlugins.contains(pluginName)) {
        refusePluginOrProfile(tr("Plugin \"%1\" already added."), pluginName);
        return;
    }
    if (selectedProfiles.isEmpty()) {
        ui->pluginsListWidget->hideEmptyText();
    } else {
        ui->pluginsListWidget->setEmptyText(tr(profilePluginsText));
        ui->pluginsListWidget->showEmptyText();
    }
    auto *record = new QListWidgetItem(pluginName);
    record->setToolTip(pluginPicker->description(pluginName));
    if (activePlugins.contains(pluginName))
        record->setIcon(QIcon::fromTheme(QStringLiteral("dialog-ok-apply")));
    if (pluginName == Kro::CgroupsPlugin) {
        record->setIcon(QIcon::fromTheme(QStringLiteral("dialog-warning")));
        record->setToolTip(
            tr("Plugin \"cgroups\" may CRITICALLY conflict with Kaspersky Endpoint Security!"));
    }
    ui->pluginsListWidget->addItem(record);
    ui->pluginsListWidget->setMenuAllowed(true);
    selectedPlugins.append(pluginName);
    ui->pluginCB->setFocus();
}

void ExtSettWidget::addProfileToList(QString profileName)
{
    if (!allProfiles.contains(profileName)) {
        refusePluginOrProfile(tr("Profile \"%1\" not found."), profileName);
        return;
    }
    if (selectedProfiles.contains(profileName)) {
        refusePluginOrProfile(tr("Profile \"%1\" already added."), profileName);
        return;
    }
    ui->profilesListWidget->hideEmptyText();
    ui->pluginsListWidget->setEmptyText(tr(profilePluginsText));
    ui->pluginsListWidget->showEmptyText();
    ui->profilesListWidget->addItem(
        new QListWidgetItem(QIcon::fromTheme(QStringLiteral("dialog-ok-apply")), profileName));
    ui->profilesListWidget->setMenuAllowed(true);
    selectedProfiles.append(profileName);
    ui->profileCB->setFocus();
}

void ExtSettWidget::refusePluginOrProfile(const QString &text, const QString &name)
{
    QMessageBox::warning(this, tr("Warning!"), text.arg(name), QMessageBox::Ok);
}

void ExtSettWidget::pluginDeleted(const QString &name)
{
    selectedPlugins.removeOne(name);
    if (!selectedPlugins.isEmpty())
        return;
    ui->pluginsListWidget->setMenuAllowed(false);
    ui->pluginsListWidget->setEmptyText(selectedProfiles.isEmpty() ? tr(allActivePluginsText)
                                                                   : tr(profilePluginsText));
    ui->pluginsListWidget->showEmptyText();
}

void ExtSettWidget::profileDeleted(const QString &name)
{
    selectedProfiles.removeOne(name);
    if (!selectedProfiles.isEmpty())
        return;
    ui->profilesListWidget->setMenuAllowed(false);
    ui->profilesListWidget->showEmptyText();
    if (selectedPlugins.isEmpty())
        ui->pluginsListWidget->setEmptyText(tr(allActivePluginsText));
    else
        ui->pluginsListWidget->hideEmptyText();
}

void ExtSettWidget::showAllChanged()
{
    parsePluginsList();
    ui->pluginCB->setFocus();
}
