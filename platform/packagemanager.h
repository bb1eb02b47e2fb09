// SPDX-License-Identifier: GPL-2.0-or-later
// Asks the system's package database whether a package is installed.
#pragma once

#include <QString>

class QProcess;

namespace KroAdmin {

class PackageManager
{
public:
    // pattern is a regular expression matched against each status line of the package;
    // "%1" in it stands for the package name (for example "ii\\s%1").
    static bool isPackageInstalled(const QString &package, const QString &pattern);

private:
    // Starts dpkg-query on the package; false when the question cannot be asked.
    static bool startQuery(QProcess &query, const QString &package, const QString &pattern);
    static bool listsInstalled(QProcess &query, const QString &package, const QString &pattern);
};

} // namespace KroAdmin
