// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadsettings.h"

#include <QCoreApplication>
#include <QSettings>

const QString UploadSettings::ServerKey = QStringLiteral("upload/server");
const QString UploadSettings::UserKey = QStringLiteral("upload/user");
const QString UploadSettings::CaFileKey = QStringLiteral("upload/cafile");

UploadSettings UploadSettings::load()
{
    // The user's store falls back to the system's for keys the user has not set.
    const QSettings settings;
    return {settings.value(ServerKey).toString(), settings.value(UserKey).toString(),
            settings.value(CaFileKey).toString()};
}

QString UploadSettings::systemServer()
{
    const QSettings system(QSettings::SystemScope, QCoreApplication::organizationName(),
                           QCoreApplication::applicationName());
    return system.value(ServerKey).toString();
}

void UploadSettings::save() const
{
    QSettings settings;
    settings.setFallbacksEnabled(false);
    if (server == systemServer())
        settings.remove(ServerKey);
    else
        settings.setValue(ServerKey, server);
    settings.setValue(UserKey, user);
    settings.setValue(CaFileKey, caFile);
}
