// SPDX-License-Identifier: GPL-2.0-or-later
#include "modulewarnings.h"

#include "constants.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

ModuleWarnings::ModuleWarnings(const QString &defaultFolder, QWidget *window, QObject *parent)
    : QObject(parent), defaultFolder(defaultFolder), window(window)
{
}

void ModuleWarnings::tell(const Backstage::Warning &told)
{
    if (told.subject == defaultFolder && !QFileInfo::exists(defaultFolder))
        return tellMissingDefaultFolder(told);
    if (QFileInfo(told.subject).isFile())
        return tellAboutModule(told);
    emit warning(told.title, told.text);
}

void ModuleWarnings::tellMissingDefaultFolder(const Backstage::Warning &told)
{
    QSettings settings;
    if (settings.value(Kro::DefaultModuleDirToldKey).toString() == defaultFolder) {
        emit notice(told.text);
        return;
    }
    settings.setValue(Kro::DefaultModuleDirToldKey, defaultFolder);
    emit warning(told.title, told.text);
}

// Silenced for a file as it is: once it changes, it is told about again.
void ModuleWarnings::tellAboutModule(const Backstage::Warning &told)
{
    QSettings settings;
    QVariantMap silenced = settings.value(Kro::SilencedModulesKey).toMap();
    const QString stamp = fileStamp(told.subject);
    if (silenced.value(told.subject).toString() == stamp)
        return;
    QMessageBox box(QMessageBox::Warning, told.title, told.text, QMessageBox::Ok, window);
    box.setInformativeText(told.detail);
    box.setCheckBox(new QCheckBox(tr("Do not show again for this file until it changes")));
    box.exec();
    if (!box.checkBox()->isChecked())
        return;
    silenced.insert(told.subject, stamp);
    settings.setValue(Kro::SilencedModulesKey, silenced);
}

QString ModuleWarnings::fileStamp(const QString &path)
{
    const QFileInfo file(path);
    return QStringLiteral("%1 %2").arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch());
}
