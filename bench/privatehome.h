// SPDX-License-Identifier: GPL-2.0-or-later
// The benchmarks' windows read their settings when they are built: a private home keeps the
// user's out, and without a display they run offscreen.
#pragma once

#include <QFile>
#include <QString>

inline void useHome(const QString &home)
{
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
