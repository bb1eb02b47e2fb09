// SPDX-License-Identifier: GPL-2.0-or-later
// The upload's settings: the server, the user name on it and an extra CA file to trust for it.
// An administrator sets a default server for every user in the system's settings
// (/etc/xdg/kro/kro-sosreport.ini, or the first folder of XDG_CONFIG_DIRS); the user's own choice
// comes first. The password is never among them.
#pragma once

#include <QString>

struct UploadSettings
{
    QString server;
    QString user;
    QString caFile;

    // The user's settings over the system's default.
    static UploadSettings load();
    // The system's default server alone, empty when the administrator set none.
    static QString systemServer();
    // Keeps the user's choice; a server equal to the system's default is not copied, so that a
    // later change of the default reaches this user too.
    void save() const;

    static const QString ServerKey;
    static const QString UserKey;
    static const QString CaFileKey;
};
