// SPDX-License-Identifier: GPL-2.0-or-later
// The command line of a desktop entry (its Exec key) as the freedesktop Desktop Entry rules read
// it: arguments split at unquoted spaces, quotes and their escapes removed, and field codes put
// in.
#pragma once

#include <QStringList>

namespace KroFM {

class AppInfo;

class DesktopExec
{
public:
    // The arguments of an Exec value whose key-file escapes are already undone; empty when a
    // quote is left open.
    static QStringList split(const QString &exec);
    // The program and arguments that start app with items (file names or URLs) in the place of
    // its %f, %F, %u or %U, or after its last argument when it has none. %c, %k and %i become
    // the entry's name, file and icon; deprecated codes are dropped and %% becomes %.
    static QStringList expand(const AppInfo &app, const QStringList &items);
    // Whether argument is one of the codes that stand for files or URLs.
    static bool isItemCode(const QString &argument);
};

} // namespace KroFM
