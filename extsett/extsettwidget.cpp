// SPDX-License-Identifier: GPL-2.0-or-later
#include "extsettwidget.h"

#include "constants.h"
#include "pluginpicker.h"
#include "sosarguments.h"
#include "sosoptions.h"
#include "ui_extsettwidget.h"

#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegExpValidator>

namespace {
enum SinceUnit
{
    Minutes,
    Hours,
    Days,
    Months,
    Years
};

const QString MinutesFormat = QStringLiteral("yyyyMMddHHmmss");
const QString DaysFormat = QStringLiteral("yyyyMMdd");
} // namespace

ExtSettWidget::ExtSettWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ExtSettWidget), profileCompleter(new QCompleter(this))
{
    ui->setupUi(this);
    pluginPicker = new PluginPicker(ui->pluginCB);

    connect(ui->showAllChB, &QCheckBox::stateChanged, this, &ExtSettWidget::showAllChanged);
    connect(ui->addPluginPB, &QPushButton::clicked, this,
            [this] { addPluginToList(ui->pluginCB->currentText(), false); });
    connect(ui->addProfilePB, &QPushButton::clicked, this,
            [this] { addProfileToList(ui->profileCB->currentText()); });
    connect(ui->pluginsListWidget, &CustomListWidget::itemDeleted, this,
            &ExtSettWidget::pluginDeleted);
    connect(ui->profilesListWidget, &CustomListWidget::itemDeleted, this,
            &ExtSettWidget::profileDeleted);
    connect(ui->tempPBtn, &QPushButton::clicked, this, &ExtSettWidget::selectTempDir);
    connect(ui->rootPBtn, &QPushButton::clicked, this, &ExtSettWidget::selectRootDir);
    connect(ui->defaultPBtn, &QPushButton::clicked, this, &ExtSettWidget::setDefaultSettings);
    connect(ui->previousPBtn, &QPushButton::clicked, this, &ExtSettWidget::getMePreviousSettings);
    connect(ui->sinceUnitsCB, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ExtSettWidget::setAvailMaxOfSinceVal);
    connect(ui->splitChB, &QCheckBox::stateChanged, this, [this](int state) {
        ui->splitSizeSB->setEnabled(state == Qt::Checked && ui->splitChB->isEnabled());
    });

    ui->splitSizeSB->setEnabled(ui->splitChB->isChecked());
    // sos takes case ids such as "UX-1234" and labels such as "ux label" and puts both into the
    // archive's name: what it takes is kept as typed, nothing is dropped silently.
    ui->caseIdLE->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[0-9A-Za-z_. -]{1,20}")), ui->caseIdLE));
    ui->labelLE->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[0-9A-Za-z_. -]{1,30}")), ui->labelLE));
    profileCompleter->setCompletionMode(QCompleter::InlineCompletion);
    ui->profileCB->setCompleter(profileCompleter);
    setUpPickerKeys();
}

// Enter adds the typed name, as the button beside the picker does; the list below takes Delete.
void ExtSettWidget::setUpPickerKeys()
{
    for (QComboBox *picker : {ui->pluginCB, ui->profileCB})
        picker->setInsertPolicy(QComboBox::NoInsert);
    connect(ui->pluginCB->lineEdit(), &QLineEdit::returnPressed, ui->addPluginPB,
            &QPushButton::click);
    connect(ui->profileCB->lineEdit(), &QLineEdit::returnPressed, ui->addProfilePB,
            &QPushButton::click);
    setAccessibleName(tr("Advanced settings"));
    ui->tempPBtn->setAccessibleName(tr("Choose temporary directory"));
    ui->rootPBtn->setAccessibleName(tr("Choose system root directory "));
    // sos runs programs it finds under another system root with administrator rights: the
    // helper collects reports of this system only.
    const QString ownSystemOnly = tr("Reports are collected of this system only.");
    for (QWidget *root :
         {static_cast<QWidget *>(ui->rootLE), static_cast<QWidget *>(ui->rootPBtn)}) {
        root->setEnabled(false);
        root->setToolTip(ownSystemOnly);
    }
    ui->pluginsListWidget->setAccessibleName(tr("Plugins list"));
    ui->profilesListWidget->setAccessibleName(tr("Profiles list"));
}

ExtSettWidget::~ExtSettWidget()
{
    delete ui;
}

QVariantMap ExtSettWidget::getExtSettings()
{
    QVariantMap settings;
    if (ui->allLogsChB->isChecked())
        settings.insert(Kro::AllLogsOption, true);
    if (ui->allOptsChB->isChecked())
        settings.insert(Kro::AllOptionsOption, true);
    if (ui->noEtcChB->isChecked())
        settings.insert(Kro::NoEtcOption, true);
    if (ui->cleanChB->isChecked())
        settings.insert(Kro::CleanOption, true);
    if (!ui->labelLE->text().isEmpty())
        settings.insert(Kro::LabelOption, ui->labelLE->text());
    addDirSetting(settings, Kro::TmpDirOption, ui->tempLE->text(), Kro::MainReportDir);
    if (!ui->caseIdLE->text().isEmpty())
        settings.insert(Kro::CaseIdOption, ui->caseIdLE->text());
    if (ui->compressCB->currentIndex() > 0)
        settings.insert(Kro::CompressionTypeOption, ui->compressCB->currentText());
    if (ui->showAllChB->isChecked())
        settings.insert(Kro::ShowAllKey, true);
    const QString since = getSinceDateTime();
    if (!since.isEmpty()) {
        settings.insert(Kro::SinceOption, since);
        settings.insert(Kro::SinceValueKey, ui->sinceValSB->value());
        settings.insert(Kro::SinceUnitKey, ui->sinceUnitsCB->currentIndex());
    }
    if (ui->splitChB->isChecked())
        settings.insert(Kro::SplitOption, ui->splitSizeSB->value());
    if (!selectedPlugins.isEmpty()) {
        askAboutCgroups(settings);
        settings.insert(Kro::OnlyPluginsOption, selectedPlugins);
    }
    if (!selectedProfiles.isEmpty())
        settings.insert(Kro::ProfilesOption, selectedProfiles);
    return settings;
}

void ExtSettWidget::addDirSetting(QVariantMap &settings, const QString &key, const QString &text,
                                  const QString &defaultDir) const
{
    if (!text.isEmpty() && text != defaultDir && QFileInfo(text).isDir())
        settings.insert(key, text);
}

void ExtSettWidget::askAboutCgroups(QVariantMap &settings)
{
    if (!selectedPlugins.contains(Kro::CgroupsPlugin))
        return;
    const auto answer = QMessageBox::question(
        this, tr("Attention!"),
        tr("Plugin \"cgroups\" may CRITICALLY conflict with Kaspersky Endpoint Security!") +
            tr("\nDo you really want to include it?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        settings.insert(Kro::ForceBadPluginsOption, true);
    else
        selectedPlugins.removeAll(Kro::CgroupsPlugin);
}

// Built where the helper's list of sos options is, so that the two never disagree.
QStringList ExtSettWidget::getSosreportArgs(const QVariantMap &settings)
{
    return SosArguments::fromSettings(settings);
}

QString ExtSettWidget::caseId() const
{
    return ui->caseIdLE->text();
}

QString ExtSettWidget::getSinceDateTime() const
{
    return getSinceDateTime(QDateTime::currentDateTime());
}

QString ExtSettWidget::getSinceDateTime(const QDateTime &now) const
{
    const int amount = ui->sinceValSB->value();
    if (amount == 0)
        return QString();
    switch (ui->sinceUnitsCB->currentIndex()) {
    case Minutes:
        return now.addSecs(-60LL * amount).toString(MinutesFormat);
    case Hours:
        return now.addSecs(-3600LL * amount).toString(MinutesFormat);
    case Days:
        return now.addDays(-amount).toString(MinutesFormat);
    case Months:
        return now.addMonths(-amount).toString(DaysFormat);
    case Years:
        return now.addYears(-amount).toString(DaysFormat);
    default:
        return QString();
    }
}

void ExtSettWidget::setPreviousEnabled(bool enabled)
{
    ui->previousPBtn->setEnabled(enabled);
}

void ExtSettWidget::setPrevSettings(const QVariantMap &settings)
{
    if (!confirmSettingsLoss())
        return;
    ui->showAllChB->setChecked(settings.contains(Kro::ShowAllKey));
    clearSelections();
    if (settings.contains(Kro::CompressionTypeOption)) {
        const int index =
            ui->compressCB->findText(settings.value(Kro::CompressionTypeOption).toString());
        if (index >= 0)
            ui->compressCB->setCurrentIndex(index);
    } else {
        ui->compressCB->setCurrentIndex(0);
    }
    ui->caseIdLE->setText(settings.value(Kro::CaseIdOption).toString());
    ui->allLogsChB->setChecked(settings.contains(Kro::AllLogsOption));
    ui->noEtcChB->setChecked(settings.contains(Kro::NoEtcOption));
    ui->allOptsChB->setChecked(settings.contains(Kro::AllOptionsOption));
    ui->cleanChB->setChecked(settings.contains(Kro::CleanOption));
    ui->labelLE->setText(settings.value(Kro::LabelOption).toString());
    for (const QString &name : settings.value(Kro::OnlyPluginsOption).toStringList())
        addPluginToList(name, true);
    for (const QString &name : settings.value(Kro::ProfilesOption).toStringList())
        addProfileToList(name);
    if (selectedProfiles.isEmpty()) {
        ui->profilesListWidget->showEmptyText();
        ui->pluginsListWidget->setEmptyText(tr(allActivePluginsText));
    }
    if (selectedPlugins.isEmpty())
        ui->pluginsListWidget->showEmptyText();
    ui->rootLE->setText(settings.value(Kro::SysrootOption, Kro::RootDir).toString());
    ui->tempLE->setText(settings.value(Kro::TmpDirOption, Kro::MainReportDir).toString());
    ui->profileCB->setCurrentIndex(0);
    // The unit first, so that the amount is not cut to the largest amount of the old unit.
    ui->sinceUnitsCB->setCurrentIndex(settings.value(Kro::SinceUnitKey, int(Days)).toInt());
    ui->sinceValSB->setValue(settings.value(Kro::SinceValueKey, 0).toInt());
    ui->splitChB->setChecked(settings.contains(Kro::SplitOption));
    if (settings.contains(Kro::SplitOption))
        ui->splitSizeSB->setValue(settings.value(Kro::SplitOption).toInt());
}

void ExtSettWidget::setDefaultSettings()
{
    if (!confirmSettingsLoss())
        return;
    ui->compressCB->setCurrentIndex(0);
    ui->caseIdLE->clear();
    ui->allLogsChB->setChecked(false);
    ui->allOptsChB->setChecked(false);
    ui->noEtcChB->setChecked(false);
    ui->cleanChB->setChecked(false);
    ui->labelLE->clear();
    clearSelections();
    ui->rootLE->setText(Kro::RootDir);
    ui->tempLE->setText(Kro::MainReportDir);
    ui->profileCB->setCurrentIndex(0);
    ui->showAllChB->setChecked(false);
    ui->sinceUnitsCB->setCurrentIndex(Days);
    ui->sinceValSB->setValue(0);
    ui->splitChB->setChecked(false);
    ui->splitSizeSB->setValue(10);
    ui->pluginsListWidget->setEmptyText(tr(allActivePluginsText));
    ui->pluginsListWidget->showEmptyText();
    ui->profilesListWidget->showEmptyText();
}

void ExtSettWidget::markMissingOptions(const SosOptions &options)
{
    markOption(ui->noEtcChB, options, Kro::NoEtcOption);
    markOption(ui->cleanChB, options, Kro::CleanOption);
    markOption(ui->labelLE, options, Kro::LabelOption);
    // Volumes stay on offer: where sos cannot make them, the finished archive is split.
    const QString splitTip =
        options.accepts(Kro::SplitOption)
            ? QString()
            : tr("The installed sos %1 has no option %2: the finished report is split into "
                 "volumes afterwards")
                  .arg(options.version(), Kro::SplitOption);
    ui->splitChB->setToolTip(splitTip);
    ui->splitSizeSB->setToolTip(splitTip);
}

void ExtSettWidget::markOption(QWidget *widget, const SosOptions &options,
                               const QString &option) const
{
    // The form's own tip comes back once a sos that has the option is installed.
    static const char *const OfferedTip = "offeredToolTip";
    if (!widget->property(OfferedTip).isValid())
        widget->setProperty(OfferedTip, widget->toolTip());
    const bool accepted = options.accepts(option);
    widget->setEnabled(accepted);
    widget->setToolTip(
        accepted ? widget->property(OfferedTip).toString()
                 : tr("The installed sos %1 has no option %2").arg(options.version(), option));
}

bool ExtSettWidget::confirmSettingsLoss()
{
    return QMessageBox::question(
               this, tr("Attention!"),
               tr("The current settings will be lost.\nDo you want to continue? "),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void ExtSettWidget::clearSelections()
{
    ui->pluginsListWidget->hideEmptyText();
    ui->pluginsListWidget->clear();
    ui->profilesListWidget->hideEmptyText();
    ui->profilesListWidget->clear();
    selectedPlugins.clear();
    selectedProfiles.clear();
}

void ExtSettWidget::setAvailMaxOfSinceVal(int index)
{
    static const int largest[] = {59, 23, 45, 11, 50};
    ui->sinceValSB->setMaximum(index >= 0 && index <= Years ? largest[index] : 59);
}

void ExtSettWidget::selectTempDir()
{
    const QString dir = chooseDir(tr("Choose temporary directory"));
    if (!dir.isEmpty())
        ui->tempLE->setText(dir);
}

void ExtSettWidget::selectRootDir()
{
    const QString dir = chooseDir(tr("Choose system root directory "));
    if (!dir.isEmpty())
        ui->rootLE->setText(dir);
}

QString ExtSettWidget::chooseDir(const QString &title)
{
    const QString dir = QFileDialog::getExistingDirectory(this, title, QDir::homePath(),
                                                          QFileDialog::ShowDirsOnly |
                                                              QFileDialog::DontResolveSymlinks);
    return !dir.isEmpty() && QFileInfo(dir).isDir() ? dir : QString();
}
