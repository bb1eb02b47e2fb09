// SPDX-License-Identifier: GPL-2.0-or-later
// Asks the system's package database whether a package is installed.
#pragma once

#include <QString>

namespace KroAdmin {

class PackageManager
{
public:
    // pattern is a regular expression matched against each status line of the package;
    // "%1" in it stands for the package name (for example "ii\\s%1").
    static bool isPackageInstalled(const QString &package, const QString &pattern);
};

} // namespace KroAdmin
